#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"

#include "Zorvik/Views/CurrencyControls/CurrencyAnimation.h"
#include "Zorvik/Views/CurrencyControls/CurrencyFormatter.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::mainQueue;

TEST(CurrencyFormatterTest, WritesPenceInBothForms)
{
    struct Case {
        std::int64_t pence;
        const char* plain;
        const char* grouped;
    };
    const Case cases[] = {
        { 0, "£0.00", "£0.00" },
        { 5, "£0.05", "£0.05" },
        { 7, "£0.07", "£0.07" },
        { 42, "£0.42", "£0.42" },
        { 100, "£1.00", "£1.00" },
        { 250, "£2.50", "£2.50" },
        { 123456, "£1234.56", "£1,234.56" },
        { 99999999, "£999999.99", "£999,999.99" },
        { 999999999, "£9999999.99", "£9,999,999.99" },
        { -5, "-£0.05", "-£0.05" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.pence);
        EXPECT_EQ(CurrencyFormatter::penceToPounds(testCase.pence), testCase.plain);
        EXPECT_EQ(CurrencyFormatter::poundsText(testCase.pence), testCase.grouped);
    }
}

TEST(CurrencyLabelTest, ShowsNothingUntilItsFirstAmount)
{
    auto label = std::make_shared<CurrencyLabel>();
    EXPECT_EQ(label->amount(), 0);
    EXPECT_FALSE(label->text());
    for (auto [pence, shown] : { std::pair { 0, "£0.00" }, { 5, "£0.05" }, { 99999999, "£999,999.99" } }) {
        label->setAmount(pence);
        EXPECT_EQ(label->text(), shown);
        EXPECT_EQ(label->amount(), pence);
    }
}

/// A label counting up, with what it showed at each step.
class CurrencyAnimationTest : public ::testing::Test {
protected:
    /// Runs the animation to `target` from the label's amount and returns the amounts shown, one per 50 ms.
    std::vector<std::int64_t> countTo(std::int64_t target)
    {
        animation = CurrencyAnimation::make(label, target);
        animation->start();
        std::vector<std::int64_t> shown;
        for (int step = 0; step < 30; ++step) {
            std::int64_t before = label->amount();
            mainQueue().advance(0.05);
            if (label->amount() != before)
                shown.push_back(label->amount());
        }
        return shown;
    }

    std::shared_ptr<CurrencyLabel> label { std::make_shared<CurrencyLabel>() };
    std::shared_ptr<CurrencyAnimation> animation;
};

TEST_F(CurrencyAnimationTest, CountsUpInTenStepsAndLandsOnTheTarget)
{
    std::vector<std::int64_t> expected { 15, 30, 45, 60, 75, 90, 105, 120, 135, 150, 155 };
    EXPECT_EQ(countTo(155), expected);
    EXPECT_EQ(label->text(), "£1.55");
    EXPECT_EQ(mainQueue().pendingCount(), 0u);

    label->setAmount(0);
    EXPECT_EQ(countTo(12345).back(), 12345);
    EXPECT_EQ(label->text(), "£123.45");
}

TEST_F(CurrencyAnimationTest, NeverCountsDown)
{
    label->setAmount(500);
    EXPECT_TRUE(countTo(400).empty());
    EXPECT_TRUE(countTo(0).empty());
    EXPECT_EQ(label->amount(), 500);
    EXPECT_EQ(mainQueue().pendingCount(), 0u);
}

TEST_F(CurrencyAnimationTest, ATargetOfAFewPenceIsSetAtTheFirstStep)
{
    EXPECT_EQ(countTo(7), std::vector<std::int64_t> { 7 });
    EXPECT_EQ(label->text(), "£0.07");
    EXPECT_EQ(mainQueue().pendingCount(), 0u);
}

TEST_F(CurrencyAnimationTest, EndsWhenTheLabelGoesAway)
{
    animation = CurrencyAnimation::make(label, 1000);
    animation->start();
    mainQueue().advance(0.05);
    EXPECT_EQ(label->amount(), 100);
    std::weak_ptr<CurrencyAnimation> running = animation;
    animation.reset();
    label.reset();
    mainQueue().advance(1);
    EXPECT_EQ(mainQueue().pendingCount(), 0u);
    EXPECT_TRUE(running.expired()) << "the last step let the animation go";
}

}
}
