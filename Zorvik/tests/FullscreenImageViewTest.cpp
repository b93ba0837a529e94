#include "Zorvik/Views/FullscreenImageView/FullscreenImageView.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Value.h"
#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Files;
using platform::ui::Image;
using platform::ui::ScopedMainScreen;
using platform::ui::Screen;

class FullscreenImageViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        write("BackgroundOffCentreBubbleBlur", 1);
        write("BackgroundOffCentreBubbleBlur-667", 2);
        write("BackgroundStart", 3);
        Files::setBundleDirectory(bundle.path());
    }

    void TearDown() override { Files::setBundleDirectory({}); }

    /// Writes a one-pixel-high PNG `width` pixels wide, so that tests can tell the pictures apart.
    void write(const std::string& name, int width)
    {
        auto image = Image::fromPixels(width, 1, std::vector<std::uint8_t>(std::size_t(width) * 4, 255));
        ASSERT_TRUE(Files::writeBytes(bundle.path() / (name + ".png"), image->pngData()));
    }

    ::testing::TemporaryDirectory bundle;
};

TEST_F(FullscreenImageViewTest, TheVariantOfTheMainScreenIsShown)
{
    struct Case {
        platform::ui::Size screen;
        int width;
    } cases[] = { { Screen::size375x667, 2 }, { Screen::size320x568, 1 }, { Screen::size414x736, 1 } };
    for (const auto& c : cases) {
        ScopedMainScreen main(c.screen, 1);
        FullscreenImageView view;
        EXPECT_FALSE(view.fullscreen());
        view.setFullscreen("BackgroundOffCentreBubbleBlur");
        EXPECT_EQ(view.fullscreen(), "BackgroundOffCentreBubbleBlur");
        ASSERT_TRUE(view.image()) << c.screen.height;
        EXPECT_EQ(view.image()->pixelWidth(), c.width) << c.screen.height;
    }
}

TEST_F(FullscreenImageViewTest, SettingTheNameAgainReplacesThePicture)
{
    ScopedMainScreen main(Screen::size320x568, 1);
    FullscreenImageView view;
    ASSERT_TRUE(view.setNibAttribute("fullscreen", platform::foundation::Value("BackgroundStart")));
    EXPECT_EQ(view.image()->pixelWidth(), 3);
    view.setFullscreen("BackgroundOffCentreBubbleBlur");
    EXPECT_EQ(view.image()->pixelWidth(), 1);
    view.setFullscreen("Missing");
    EXPECT_EQ(view.image(), nullptr);
    EXPECT_FALSE(view.setNibAttribute("fullscreen", platform::foundation::Value(3)));
    EXPECT_FALSE(view.setNibAttribute("image", platform::foundation::Value("BackgroundStart")));
}

}
}
