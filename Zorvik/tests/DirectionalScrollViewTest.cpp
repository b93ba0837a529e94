#include "Zorvik/Views/DirectionalScrollView/DirectionalScrollView.h"

#include "platform/ui/Screen.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace zorvik::test {
namespace {

using platform::ui::Point;

TEST(DirectionalScrollViewTest, ALockedViewStaysOnTheAllowedSideOfOneScreenWidth)
{
    platform::ui::ScopedMainScreen screen(platform::ui::Screen::size320x568);
    struct Case {
        bool locked;
        std::int64_t direction;
        Point requested;
        Point expected;
    };
    const Case cases[] = {
        { true, DirectionalScrollView::swipeRight, { 400, 0 }, { 320, 0 } },
        { true, DirectionalScrollView::swipeRight, { 400, 12 }, { 320, 0 } },
        { true, DirectionalScrollView::swipeRight, { 100, 0 }, { 100, 0 } },
        { true, DirectionalScrollView::swipeRight, { 320, 7 }, { 320, 7 } },
        { true, DirectionalScrollView::swipeLeft, { 100, 0 }, { 320, 0 } },
        { true, DirectionalScrollView::swipeLeft, { 400, 0 }, { 400, 0 } },
        { true, 2, { 900, 0 }, { 900, 0 } },
        { false, DirectionalScrollView::swipeRight, { 400, 0 }, { 400, 0 } },
        { false, DirectionalScrollView::swipeLeft, { 100, 0 }, { 100, 0 } },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(::testing::Message()
            << "locked " << test.locked << ", direction " << test.direction << ", x " << test.requested.x);
        DirectionalScrollView view({ 0, 0, 200, 80 });
        view.setDirection(test.direction);
        view.setIsLocked(test.locked);
        view.setContentOffset(test.requested);
        EXPECT_EQ(view.contentOffset(), test.expected);
    }
}

}
}
