#include "Zorvik/ViewControllers/Transitions/Animations/InstantViewControllerTransition.h"
#include "Zorvik/tests/TransitionFixture.h"
#include "platform/ui/Animation.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::Animation;
using platform::ui::Rect;

using InstantViewControllerTransitionTest = TransitionFixture;

TEST_F(InstantViewControllerTransitionTest, TheViewsSwapAtOnceWithinTheCall)
{
    to->view()->setFrame({ 0, 10, 50, 50 });
    auto running = Animation::runningCount();
    InstantViewControllerTransition animator;
    EXPECT_EQ(animator.transitionDuration(nullptr), 0);
    run(animator);

    EXPECT_EQ(completed, true);
    EXPECT_EQ(Animation::runningCount(), running);
    EXPECT_EQ(from->view()->superview(), nullptr);
    ASSERT_EQ(container->subviews().size(), 1u);
    EXPECT_EQ(container->subviews()[0], to->view());
    EXPECT_EQ(to->view()->frame(), (Rect { 0, 10, 320, 568 }));
}

}
}
