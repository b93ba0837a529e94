#include "Zorvik/Views/LineView/LineView.h"
#include "platform/ui/LayoutAnchor.h"
#include "platform/ui/Screen.h"

#include <gtest/gtest.h>

#include <memory>

namespace zorvik::test {
namespace {

using platform::ui::Rect;
using platform::ui::ScopedMainScreen;
using platform::ui::Screen;

TEST(LineViewTest, TheLineIsOnePixelHighAfterEveryLayout)
{
    struct Case {
        double scale;
        double height;
    } cases[] = { { 1, 1 }, { 2, 0.5 }, { 3, 1.0 / 3 } };
    for (const auto& c : cases) {
        ScopedMainScreen screen(Screen::size320x568, c.scale);
        auto line = std::make_shared<LineView>(Rect { 15, 40, 290, 10 });
        line->layoutIfNeeded();
        EXPECT_EQ(line->frame(), (Rect { 15, 40, 290, c.height })) << c.scale;
    }
}

TEST(LineViewTest, ALayoutThatGivesAnotherHeightIsOverridden)
{
    ScopedMainScreen screen(Screen::size320x568, 2);
    auto parent = std::make_shared<platform::ui::View>(Rect { 0, 0, 320, 100 });
    auto line = std::make_shared<LineView>();
    parent->addSubview(line);
    line->setTranslatesAutoresizingMaskIntoConstraints(false);
    parent->addConstraints(
        { platform::ui::leadingAnchor(line).constraintEqualTo(platform::ui::leadingAnchor(parent), 15),
            platform::ui::topAnchor(line).constraintEqualTo(platform::ui::topAnchor(parent), 20),
            platform::ui::widthAnchor(line).constraintEqualToConstant(290),
            platform::ui::heightAnchor(line).constraintEqualToConstant(10) });

    parent->layoutIfNeeded();
    EXPECT_EQ(line->frame(), (Rect { 15, 20, 290, 0.5 }));
    parent->setFrame({ 0, 0, 375, 100 });
    parent->layoutIfNeeded();
    EXPECT_EQ(line->frame(), (Rect { 15, 20, 290, 0.5 }));
}

}
}
