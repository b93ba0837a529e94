#include "platform/ui/Animation.h"

#include "platform/foundation/MainQueue.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/LayoutAnchor.h"
#include "platform/ui/VisualFormat.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace platform::ui;
using platform::foundation::mainQueue;

namespace {

class AnimationTest : public testing::Test {
protected:
    AnimationTest()
    {
        window->addSubview(box);
        box->setFrame({ 0, 0, 100, 100 });
    }

    /// Records each completion's finished flag in order.
    Animation::Completion record()
    {
        return [this](bool finished) { m_finished.push_back(finished); };
    }

    std::shared_ptr<Window> window = std::make_shared<Window>(Rect { 0, 0, 320, 480 });
    std::shared_ptr<View> box = std::make_shared<View>();
    std::vector<bool> m_finished;
    AnimationOptions linear { .curve = AnimationCurve::Linear };
};

}

TEST_F(AnimationTest, FinalValuesAtOnceAndCompletionAfterDelayAndDuration)
{
    Animation::animate(
        0.3, 0.2, linear,
        [&] {
            box->setFrame({ 100, 200, 50, 50 });
            box->setAlpha(0);
        },
        record());

    EXPECT_EQ(box->frame(), (Rect { 100, 200, 50, 50 })) << "the model takes the final value at once";
    EXPECT_EQ(box->alpha(), 0);
    mainQueue().advance(0.49);
    EXPECT_TRUE(m_finished.empty());
    EXPECT_TRUE(Animation::isAnimating(*box));
    mainQueue().advance(0.01);
    EXPECT_EQ(m_finished, std::vector<bool> { true });
    EXPECT_FALSE(Animation::isAnimating(*box));
    EXPECT_EQ(Animation::runningCount(), 0u);
}

TEST_F(AnimationTest, PresentationValuesMoveWithTheClock)
{
    box->setBackgroundColor(Color::black());
    Animation::animate(1.0, 0.5, linear,
        [&] {
            box->setFrame({ 100, 200, 50, 50 });
            box->setAlpha(0.5);
            box->setBackgroundColor(Color::white());
            box->setTransformScale({ 2, 3 });
        },
        {});

    EXPECT_EQ(Animation::presentationFrame(*box), (Rect { 0, 0, 100, 100 })) << "still waiting out the delay";
    mainQueue().advance(0.5 + 0.5);
    EXPECT_EQ(Animation::presentationFrame(*box), (Rect { 50, 100, 75, 75 }));
    EXPECT_DOUBLE_EQ(Animation::presentationAlpha(*box), 0.75);
    EXPECT_EQ(Animation::presentationBackgroundColor(*box), Color::gray());
    EXPECT_EQ(Animation::presentationTransformScale(*box), (Size { 1.5, 2 }));
    mainQueue().advance(0.5);
    EXPECT_EQ(Animation::presentationFrame(*box), box->frame());
    EXPECT_DOUBLE_EQ(Animation::presentationAlpha(*box), 0.5);
}

TEST_F(AnimationTest, TheDefaultCurveEasesInAndOut)
{
    Animation::animate(1.0, [&] { box->setAlpha(0); });
    mainQueue().advance(0.25);
    EXPECT_DOUBLE_EQ(Animation::presentationAlpha(*box), 1 - 0.15625);
    mainQueue().advance(0.25);
    EXPECT_DOUBLE_EQ(Animation::presentationAlpha(*box), 0.5);
}

TEST_F(AnimationTest, ANewAnimationOfTheSamePropertyInterruptsTheRunningOne)
{
    auto other = std::make_shared<View>(Rect { 0, 0, 10, 10 });
    window->addSubview(other);
    Animation::animate(
        1.0, 0, linear,
        [&] {
            box->setAlpha(0);
            other->setAlpha(0);
        },
        record());
    mainQueue().advance(0.5);

    std::optional<bool> second;
    Animation::animate(
        1.0, 0, linear, [&] { box->setAlpha(1); }, [&](bool finished) { second = finished; });
    EXPECT_DOUBLE_EQ(Animation::presentationAlpha(*box), 0)
        << "starts from the model value, not where it was shown";
    EXPECT_DOUBLE_EQ(Animation::presentationAlpha(*other), 0) << "the interrupted animation stops entirely";
    mainQueue().runUntilIdle();
    EXPECT_EQ(m_finished, std::vector<bool> { false });
    EXPECT_FALSE(second);

    mainQueue().advance(1.0);
    EXPECT_EQ(m_finished, std::vector<bool> { false }) << "the first completion runs once";
    EXPECT_EQ(second, true);
}

TEST_F(AnimationTest, AnimationsWhoseEndTheQueueDroppedAreForgotten)
{
    Animation::animate(
        1.0, 0, linear, [&] { box->setAlpha(0); }, record());
    Animation::animate(
        1.0, 0, linear, [&] { box->setAlpha(0.5); }, record());
    Animation::animate(
        2.0, 0, linear,
        [&] {
            box->setFrame({ 10, 10, 10, 10 });
        },
        record());
    ASSERT_EQ(Animation::runningCount(), 3u) << "the second interrupts the first, whose end is posted";

    mainQueue().reset();
    EXPECT_EQ(Animation::runningCount(), 0u);
    EXPECT_FALSE(Animation::isAnimating(*box));
    EXPECT_EQ(Animation::presentationFrame(*box), (Rect { 10, 10, 10, 10 }));
    mainQueue().advance(3);
    EXPECT_TRUE(m_finished.empty()) << "no completion runs for an end that never came";
}

TEST_F(AnimationTest, BeginningFromTheCurrentStateStartsWhereTheValueIsShown)
{
    Animation::animate(1.0, 0, linear, [&] { box->setAlpha(0); }, {});
    mainQueue().advance(0.5);
    Animation::animate(1.0, 0, { .curve = AnimationCurve::Linear, .beginFromCurrentState = true },
        [&] { box->setAlpha(1); }, {});
    EXPECT_DOUBLE_EQ(Animation::presentationAlpha(*box), 0.5);
    mainQueue().advance(0.5);
    EXPECT_DOUBLE_EQ(Animation::presentationAlpha(*box), 0.75);
}

TEST_F(AnimationTest, ConstraintConstantsAndTheFramesALayoutPassMovesAnimate)
{
    box->setTranslatesAutoresizingMaskIntoConstraints(false);
    window->addConstraints(VisualFormat::constraints("H:|[box]|", { { "box", box } }));
    window->addConstraint(topAnchor(box).constraintEqualTo(topAnchor(window)));
    auto height = heightAnchor(box).constraintEqualToConstant(100);
    box->addConstraint(height);
    window->layoutIfNeeded();

    Animation::animate(
        0.2, 0, linear,
        [&] {
            height->setConstant(300);
            window->layoutIfNeeded();
        },
        record());

    EXPECT_EQ(box->frame(), (Rect { 0, 0, 320, 300 }));
    mainQueue().advance(0.1);
    EXPECT_DOUBLE_EQ(Animation::presentationConstant(*height), 200);
    EXPECT_EQ(Animation::presentationFrame(*box), (Rect { 0, 0, 320, 200 }));
    mainQueue().advance(0.1);
    EXPECT_EQ(m_finished, std::vector<bool> { true });
    EXPECT_DOUBLE_EQ(Animation::presentationConstant(*height), 300);
}

TEST_F(AnimationTest, AnAnimationWithoutChangesStillCompletesOnTime)
{
    Animation::animate(
        0.2, [] {}, record());
    mainQueue().advance(0.19);
    EXPECT_TRUE(m_finished.empty());
    mainQueue().advance(0.01);
    EXPECT_EQ(m_finished, std::vector<bool> { true });
}

TEST_F(AnimationTest, ANestedAnimationKeepsItsOwnProperties)
{
    auto other = std::make_shared<View>(Rect { 0, 0, 10, 10 });
    window->addSubview(other);
    Animation::animate(
        1.0, 0, linear,
        [&] {
            box->setAlpha(0);
            Animation::animate(
                0.5, 0, linear, [&] { other->setAlpha(0); }, record());
        },
        record());
    mainQueue().advance(0.25);
    EXPECT_DOUBLE_EQ(Animation::presentationAlpha(*other), 0.5) << "the inner animation's timing";
    EXPECT_DOUBLE_EQ(Animation::presentationAlpha(*box), 0.75);
    mainQueue().advance(0.75);
    EXPECT_EQ(m_finished, (std::vector<bool> { true, true }));
}

TEST_F(AnimationTest, ATransactionCompletesAfterItsLastAnimation)
{
    int completions = 0;
    AnimationTransaction::begin();
    AnimationTransaction::setCompletion([&] { ++completions; });
    Animation::animate(0.3, [&] { box->setAlpha(0); });
    Animation::animate(0.5, 0.1, {}, [&] { box->setFrame({ 1, 1, 1, 1 }); }, {});
    AnimationTransaction::commit();
    Animation::animate(2.0, [&] { box->setBackgroundColor(Color::red()); }); // started after the commit

    mainQueue().advance(0.59);
    EXPECT_EQ(completions, 0);
    mainQueue().advance(0.01);
    EXPECT_EQ(completions, 1);

    AnimationTransaction::begin();
    AnimationTransaction::setCompletion([&] { ++completions; });
    AnimationTransaction::commit();
    EXPECT_EQ(completions, 1) << "an empty transaction completes on the queue, not inside commit";
    mainQueue().runUntilIdle();
    EXPECT_EQ(completions, 2);
    EXPECT_THROW(AnimationTransaction::commit(), std::logic_error);
}
