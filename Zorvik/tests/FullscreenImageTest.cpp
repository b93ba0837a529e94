#include "Zorvik/UIKitExtensions/FullscreenImage.h"
#include "platform/foundation/Files.h"
#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::Image;
using platform::ui::ScopedMainScreen;
using platform::ui::Screen;

/// Writes a one-pixel PNG of width `width` named `name` into `folder`.
void writeImage(const std::filesystem::path& folder, const std::string& name, int width)
{
    auto image = Image::fromPixels(width, 1, std::vector<std::uint8_t>(width * 4, 255));
    auto png = image->pngData();
    ASSERT_TRUE(platform::foundation::Files::writeBytes(folder / (name + ".png"), png));
}

TEST(FullscreenImageTest, ScreensExactly667PointsHighTakeTheirVariant)
{
    ::testing::TemporaryDirectory bundle;
    writeImage(bundle.path(), "BackgroundOffCentreBubble", 1);
    writeImage(bundle.path(), "BackgroundOffCentreBubble-667", 2);
    platform::foundation::Files::setBundleDirectory(bundle.path());

    struct Case {
        platform::ui::Size screen;
        const char* name;
        int width;
    };
    for (auto [screen, name, width] : { Case { Screen::size320x480, "BackgroundOffCentreBubble", 1 },
             Case { Screen::size320x568, "BackgroundOffCentreBubble", 1 },
             Case { Screen::size375x667, "BackgroundOffCentreBubble-667", 2 },
             Case { Screen::size414x736, "BackgroundOffCentreBubble", 1 } }) {
        SCOPED_TRACE(screen.height);
        ScopedMainScreen main(screen, 1);
        EXPECT_EQ(FullscreenImage::name("BackgroundOffCentreBubble"), name);
        auto image = FullscreenImage::fullscreen("BackgroundOffCentreBubble");
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->pixelWidth(), width);
    }
    EXPECT_EQ(FullscreenImage::nameForScreenHeight("Blur", 667.5), "Blur");
    EXPECT_EQ(FullscreenImage::fullscreen("Missing"), nullptr);
    platform::foundation::Files::setBundleDirectory({});
}

}
}
