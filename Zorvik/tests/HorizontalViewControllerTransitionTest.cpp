#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/tests/TransitionFixture.h"
#include "platform/ui/Animation.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::Animation;
using platform::ui::Rect;
using Action = HorizontalViewControllerTransitionAction;

using HorizontalViewControllerTransitionTest = TransitionFixture;

TEST_F(
    HorizontalViewControllerTransitionTest, BothViewsSlideOneScreenWidthAndTheChangeCompletesAfter04Seconds)
{
    struct Case {
        Action action;
        double toStartX;
        double fromEndX;
    } cases[] = { { Action::SlideInFromRight, 320, -320 }, { Action::SlideInFromLeft, -320, 320 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.action));
        SetUp();
        completed.reset();
        to->view()->setFrame({ 0, 30, 100, 100 });
        HorizontalViewControllerTransition animator(c.action);
        EXPECT_EQ(animator.transitionDuration(nullptr), 0.4);
        run(animator);

        auto toView = to->view();
        auto fromView = from->view();
        EXPECT_EQ(container->subviews().back(), toView) << "the incoming view is on top";
        EXPECT_EQ(Animation::presentationFrame(*toView), (Rect { c.toStartX, 30, 320, 568 }));
        EXPECT_EQ(Animation::presentationFrame(*fromView), (Rect { 0, 0, 320, 568 }));
        EXPECT_EQ(toView->frame(), (Rect { 0, 30, 320, 568 }));
        EXPECT_EQ(fromView->frame(), (Rect { c.fromEndX, 0, 320, 568 }));

        advance(0.2);
        EXPECT_DOUBLE_EQ(Animation::presentationFrame(*toView).x(), c.toStartX / 2) << "half way";
        EXPECT_FALSE(completed);
        advance(0.199);
        EXPECT_FALSE(completed);
        advance(0.001);
        EXPECT_EQ(completed, true);
        toView->removeFromSuperview();
    }
}

TEST_F(HorizontalViewControllerTransitionTest, AnInterruptedSlideStillCompletesWithSuccess)
{
    HorizontalViewControllerTransition animator(Action::SlideInFromRight);
    auto context = run(animator);
    auto toView = to->view();
    Animation::animate(0.1, [toView] { toView->setFrame({ 0, 0, 10, 10 }); });
    platform::foundation::mainQueue().runUntilIdle();

    EXPECT_EQ(completed, true);
    EXPECT_FALSE(context->transitionWasCancelled());
}

}
}
