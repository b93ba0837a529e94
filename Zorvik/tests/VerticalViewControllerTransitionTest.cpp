#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"
#include "Zorvik/tests/TransitionFixture.h"
#include "platform/ui/Animation.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::Animation;
using platform::ui::Rect;
using Action = VerticalViewControllerTransitionAction;

using VerticalViewControllerTransitionTest = TransitionFixture;

TEST_F(VerticalViewControllerTransitionTest, RiseOverBringsTheIncomingViewUpOverTheStillOne)
{
    to->view()->setFrame({ 0, 0, 100, 100 });
    VerticalViewControllerTransition animator(Action::RiseOver);
    EXPECT_EQ(animator.transitionDuration(nullptr), 0.4);
    run(animator);

    auto toView = to->view();
    EXPECT_EQ(container->subviews().back(), toView);
    EXPECT_EQ(Animation::presentationFrame(*toView), (Rect { 0, 568, 320, 568 }));
    EXPECT_EQ(toView->frame(), (Rect { 0, 0, 320, 568 }));
    EXPECT_EQ(from->view()->frame(), (Rect { 0, 0, 320, 568 }));
    EXPECT_FALSE(Animation::isAnimating(*from->view())) << "the covered screen does not move";

    advance(0.399);
    EXPECT_FALSE(completed);
    advance(0.001);
    EXPECT_EQ(completed, true);
}

TEST_F(VerticalViewControllerTransitionTest, DropAndRiseAwayMoveTheOutgoingViewOffAndUncoverTheIncomingOne)
{
    struct Case {
        Action action;
        double fromEndY;
    } cases[] = { { Action::DropAway, 568 }, { Action::RiseAway, -568 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.action));
        SetUp();
        completed.reset();
        to->view()->setFrame({ -320, 40, 200, 300 });
        VerticalViewControllerTransition animator(c.action);
        run(animator);

        auto toView = to->view();
        auto fromView = from->view();
        EXPECT_EQ(container->subviews().front(), toView) << "the incoming view waits behind";
        EXPECT_EQ(toView->frame(), (Rect { 0, 0, 200, 300 })) << "at the origin, its size unchanged";
        EXPECT_FALSE(Animation::isAnimating(*toView));
        EXPECT_EQ(Animation::presentationFrame(*fromView), (Rect { 0, 0, 320, 568 }));
        EXPECT_EQ(fromView->frame(), (Rect { 0, c.fromEndY, 320, 568 }));

        advance(0.4);
        EXPECT_EQ(completed, true);
        toView->removeFromSuperview();
    }
}

}
}
