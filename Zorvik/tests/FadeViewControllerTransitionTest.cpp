#include "Zorvik/ViewControllers/Transitions/Animations/FadeViewControllerTransition.h"
#include "Zorvik/tests/TransitionFixture.h"
#include "platform/ui/Animation.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::Animation;
using platform::ui::Rect;

using FadeViewControllerTransitionTest = TransitionFixture;

TEST_F(FadeViewControllerTransitionTest, TheOutgoingViewFadesOutThenTheIncomingOneIn)
{
    auto cover = std::make_shared<platform::ui::View>();
    container->addSubview(cover);
    FadeViewControllerTransition animator(0.4);
    EXPECT_EQ(animator.fadeTime(), 0.4);
    run(animator);

    auto toView = to->view();
    auto fromView = from->view();
    ASSERT_EQ(container->subviews().size(), 3u);
    EXPECT_EQ(container->subviews()[1], toView) << "directly above the outgoing view";
    EXPECT_EQ(toView->frame().size, (platform::ui::Size { 320, 568 }));
    EXPECT_EQ(toView->alpha(), 0);
    EXPECT_EQ(Animation::presentationAlpha(*fromView), 1);
    EXPECT_EQ(fromView->alpha(), 0);

    advance(0.2);
    EXPECT_EQ(Animation::presentationAlpha(*fromView), 0);
    EXPECT_EQ(toView->alpha(), 1) << "the second fade has begun";
    EXPECT_EQ(Animation::presentationAlpha(*toView), 0);
    EXPECT_FALSE(completed);

    advance(0.2);
    EXPECT_EQ(completed, true);
    EXPECT_EQ(toView->alpha(), 1);
    EXPECT_EQ(fromView->alpha(), 1) << "opaque again, so that it shows when it comes back";
}

TEST_F(FadeViewControllerTransitionTest, TheReportedDurationStaysAt04WhateverTheFadeTime)
{
    FadeViewControllerTransition animator(1.0);
    EXPECT_EQ(animator.transitionDuration(nullptr), 0.4);
    run(animator);

    advance(0.5);
    EXPECT_EQ(Animation::presentationAlpha(*from->view()), 0);
    EXPECT_EQ(Animation::presentationAlpha(*to->view()), 0);
    advance(0.499);
    EXPECT_FALSE(completed);
    advance(0.001);
    EXPECT_EQ(completed, true);
}

}
}
