#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>

namespace zorvik::test {
namespace {

using platform::foundation::mainQueue;
using platform::ui::Color;
using platform::ui::DrawOperation;
using platform::ui::PathElement;
using platform::ui::Rect;

class LoadingViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        window->setContentView(std::make_shared<platform::ui::View>());
        window->contentView()->addSubview(spinner);
    }

    /// The spinner's angles as (start, end).
    std::pair<double, double> angles() const { return { spinner->start(), spinner->end() }; }

    std::shared_ptr<platform::ui::Window> window = std::make_shared<platform::ui::Window>();
    std::shared_ptr<LoadingView> spinner = std::make_shared<LoadingView>(Rect { 0, 0, 30, 40 });
};

TEST_F(LoadingViewTest, ANewSpinnerDrawsA340DegreeBlackArcCentredInTheView)
{
    EXPECT_FALSE(spinner->animate());
    spinner->displayIfNeeded();

    ASSERT_TRUE(spinner->drawing());
    const auto& operations = spinner->drawing()->operations();
    ASSERT_EQ(operations.size(), 1u);
    const DrawOperation& arc = operations[0];
    EXPECT_EQ(arc.kind, DrawOperation::Kind::Stroke);
    EXPECT_EQ(arc.color, Color::black());
    EXPECT_EQ(arc.lineWidth, 1);
    ASSERT_EQ(arc.path.size(), 1u);
    EXPECT_EQ(arc.path[0].kind, PathElement::Kind::Arc);
    EXPECT_EQ(arc.path[0].point, (platform::ui::Point { 15, 20 }));
    EXPECT_EQ(arc.path[0].radius, 14.5);
    EXPECT_DOUBLE_EQ(arc.path[0].startAngle, 0);
    EXPECT_DOUBLE_EQ(arc.path[0].endAngle, 340 / 180.0 * std::numbers::pi);
    EXPECT_FALSE(arc.path[0].clockwise);
}

TEST_F(LoadingViewTest, TheArcTurnsFiveDegreesEvery10MillisecondsAndWrapsAt360)
{
    spinner->beginAnimation();
    EXPECT_EQ(angles(), std::make_pair(5.0, 345.0)) << "one step at once";
    EXPECT_TRUE(spinner->needsDisplay());

    mainQueue().advance(0.04);
    EXPECT_EQ(angles(), std::make_pair(25.0, 5.0)) << "the fifth step took the end from 360 to 5";
    mainQueue().advance(0.01);
    EXPECT_EQ(angles(), std::make_pair(30.0, 10.0));

    spinner->setSpinnerColour(Color::white());
    spinner->displayIfNeeded();
    const auto& arc = spinner->drawing()->operations().at(0);
    EXPECT_EQ(arc.color, Color::white());
    EXPECT_DOUBLE_EQ(arc.path[0].startAngle, 30 / 180.0 * std::numbers::pi);
}

TEST_F(LoadingViewTest, BeginningTwiceTurnsAtTheNormalRate)
{
    spinner->beginAnimation();
    spinner->beginAnimation();
    mainQueue().advance(0.04);
    EXPECT_EQ(angles(), std::make_pair(25.0, 5.0));
}

TEST_F(LoadingViewTest, EndingStopsAfterTheCurrentStepWhereTheArcStands)
{
    spinner->endAnimation();
    EXPECT_EQ(angles(), std::make_pair(0.0, 340.0)) << "without a start only the flag changes";

    spinner->beginAnimation();
    mainQueue().advance(0.02);
    spinner->endAnimation();
    mainQueue().advance(1);
    EXPECT_EQ(angles(), std::make_pair(15.0, 355.0));
    EXPECT_EQ(mainQueue().pendingCount(), 0u) << "the chain has ended";

    spinner->beginAnimation();
    EXPECT_EQ(angles(), std::make_pair(20.0, 360.0)) << "a new start goes on from there";
}

TEST_F(LoadingViewTest, ASpinnerThatLeavesTheWindowStopsTurningAndGoesOnWhenBack)
{
    spinner->beginAnimation();
    mainQueue().advance(0.01);
    spinner->removeFromSuperview();
    EXPECT_EQ(mainQueue().pendingCount(), 0u) << "no step waits for a spinner off screen";
    mainQueue().advance(1);
    EXPECT_EQ(angles(), std::make_pair(10.0, 350.0));
    EXPECT_TRUE(spinner->animate()) << "still meant to turn";

    window->contentView()->addSubview(spinner);
    EXPECT_EQ(angles(), std::make_pair(15.0, 355.0));
    mainQueue().advance(0.01);
    EXPECT_EQ(angles(), std::make_pair(20.0, 360.0));
}

TEST_F(LoadingViewTest, ASpinnerStartedOffScreenTurnsOnceItIsShown)
{
    auto offScreen = std::make_shared<LoadingView>(Rect { 0, 0, 20, 20 });
    offScreen->beginAnimation();
    mainQueue().advance(1);
    EXPECT_EQ(offScreen->end(), 345);

    window->contentView()->addSubview(offScreen);
    mainQueue().advance(0.01);
    EXPECT_EQ(offScreen->end(), 355);
}

TEST_F(LoadingViewTest, AReleasedSpinnerLeavesNoStepBehind)
{
    auto loose = std::make_shared<LoadingView>(Rect { 0, 0, 20, 20 });
    std::weak_ptr<LoadingView> gone = loose;
    loose->beginAnimation();
    EXPECT_EQ(mainQueue().pendingCount(), 1u);
    loose.reset();

    EXPECT_TRUE(gone.expired());
    EXPECT_EQ(mainQueue().pendingCount(), 0u);
    mainQueue().advance(1);
}

TEST_F(LoadingViewTest, TheColourIsStoredAsGiven)
{
    EXPECT_EQ(spinner->spinnerColour(), Color::black());
    spinner->setSpinnerColour(Color::white());
    EXPECT_EQ(spinner->spinnerColour(), Color(1, 1, 1, 1));
}

}
}
