#include "platform/ui/ImageView.h"

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"

#include <gtest/gtest.h>

using namespace platform::ui;

TEST(ImageViewTest, ContentModesPlaceTheImage)
{
    auto image = Image::fromPixels(40, 20, std::vector<std::uint8_t>(40 * 20 * 4, 200), 2);
    auto view = std::make_shared<ImageView>(Rect { 0, 0, 100, 100 });
    EXPECT_EQ(view->imageRect(), Rect::zero());
    view->setImage(image);
    struct Case {
        ContentMode mode;
        Rect expected;
    } cases[] = {
        { ContentMode::ScaleToFill, { 0, 0, 100, 100 } },
        { ContentMode::ScaleAspectFit, { 0, 25, 100, 50 } },
        { ContentMode::ScaleAspectFill, { -50, 0, 200, 100 } },
        { ContentMode::Center, { 40, 45, 20, 10 } },
        { ContentMode::Top, { 40, 0, 20, 10 } },
        { ContentMode::Right, { 80, 45, 20, 10 } },
    };
    for (auto& c : cases) {
        view->setContentMode(c.mode);
        EXPECT_EQ(view->imageRect(), c.expected) << int(c.mode);
    }
    view->displayIfNeeded();
    ASSERT_EQ(view->drawing()->operations().size(), 1u);
    EXPECT_EQ(view->drawing()->operations()[0].image, image);
}

TEST(ImageViewTest, SizesFromItsImageAndTakesNoTouches)
{
    auto image = Image::fromPixels(40, 20, std::vector<std::uint8_t>(40 * 20 * 4, 200), 2);
    auto view = std::make_shared<ImageView>(image);
    EXPECT_EQ(view->frame(), (Rect { 0, 0, 20, 10 }));
    EXPECT_EQ(view->intrinsicContentSize(), (Size { 20, 10 }));
    EXPECT_FALSE(view->isUserInteractionEnabled());
    EXPECT_EQ(view->describe(), "ImageView (0, 0, 20, 10) image (20 x 10)");
    view->setImage(nullptr);
    EXPECT_EQ(view->intrinsicContentSize().width, View::noIntrinsicMetric);
}
