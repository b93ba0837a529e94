#include "platform/foundation/Timer.h"

#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace platform::foundation {
namespace {

class TimerTest : public testing::Test {
protected:
    std::function<void()> record(std::string name)
    {
        return [this, name] { m_fired.push_back(name); };
    }

    Timer m_timer;
    std::vector<std::string> m_fired;
};

TEST_F(TimerTest, OneShotFiresOnceWhenItsIntervalHasPassed)
{
    m_timer.start(0.3, record("once"));
    EXPECT_TRUE(m_timer.isScheduled());

    mainQueue().advance(0.29);
    EXPECT_TRUE(m_fired.empty());
    mainQueue().advance(0.01);
    EXPECT_EQ(m_fired, (std::vector<std::string> { "once" }));
    EXPECT_FALSE(m_timer.isScheduled());

    mainQueue().advance(5);
    EXPECT_EQ(m_fired.size(), 1u);
}

TEST_F(TimerTest, EveryStartCancelsTheScheduleBeforeIt)
{
    m_timer.start(0.3, record("first"));
    mainQueue().advance(0.1);
    m_timer.start(0.3, record("second"));
    mainQueue().advance(0.1);
    m_timer.startRepeating(0.3, record("third"));
    m_timer.start(0.3, record("fourth"));

    mainQueue().advance(0.29);
    EXPECT_TRUE(m_fired.empty());
    mainQueue().advance(2);
    EXPECT_EQ(m_fired, (std::vector<std::string> { "fourth" }));
    EXPECT_EQ(mainQueue().pendingCount(), 0u);
}

TEST_F(TimerTest, RepeatingTimerFiresOncePerInterval)
{
    struct Case {
        double interval;
        int intervals;
    };
    for (auto [interval, intervals] :
        { Case { 0.25, 1 }, Case { 0.25, 8 }, Case { 0.5, 3 }, Case { 1, 60 } }) {
        SCOPED_TRACE(testing::Message() << interval << " s x " << intervals);
        int count = 0;
        m_timer.startRepeating(interval, [&] { ++count; });

        mainQueue().advance(interval * intervals - interval / 2);
        EXPECT_EQ(count, intervals - 1);
        mainQueue().advance(interval / 2);
        EXPECT_EQ(count, intervals);
        EXPECT_TRUE(m_timer.isScheduled());

        m_timer.invalidate();
        mainQueue().advance(interval * 3);
        EXPECT_EQ(count, intervals);
    }
}

TEST_F(TimerTest, InvalidateAndRestart)
{
    m_timer.invalidate();
    m_timer.restart();
    EXPECT_FALSE(m_timer.isScheduled());

    m_timer.start(0.3, record("typing"));
    mainQueue().advance(0.2);
    m_timer.invalidate();
    EXPECT_FALSE(m_timer.isScheduled());
    mainQueue().advance(1);
    EXPECT_TRUE(m_fired.empty());

    m_timer.restart();
    mainQueue().advance(0.2);
    m_timer.restart();
    mainQueue().advance(0.2);
    EXPECT_TRUE(m_fired.empty());
    mainQueue().advance(0.1);
    EXPECT_EQ(m_fired, (std::vector<std::string> { "typing" }));
}

TEST_F(TimerTest, TargetMayRestartOrInvalidateItsOwnTimer)
{
    int ticks = 0;
    m_timer.startRepeating(0.5, [&] {
        if (++ticks == 2)
            m_timer.invalidate();
    });
    mainQueue().advance(5);
    EXPECT_EQ(ticks, 2);

    m_timer.start(1, [&] {
        m_fired.push_back("first");
        m_timer.start(1, record("replaced"));
    });
    mainQueue().advance(10);
    EXPECT_EQ(m_fired, (std::vector<std::string> { "first", "replaced" }));
}

TEST_F(TimerTest, NonPositiveIntervalsFireSoonWithoutStallingTheClock)
{
    int ticks = 0;
    m_timer.startRepeating(0, [&] { ++ticks; });

    mainQueue().advance(Timer::kMinimumInterval * 10.5);

    EXPECT_EQ(ticks, 10);
}

/// An owner whose timer target touches the owner itself.
struct Owner {
    explicit Owner(int& firings)
        : firings(firings)
    {
    }
    void startRepeating()
    {
        timer.startRepeating(0.1, [this] { ++firings; });
    }

    int& firings;
    Timer timer;
};

TEST(TimerOwnership, NothingFiresOnceTheOwnerHasGone)
{
    int firings = 0;
    auto owner = std::make_unique<Owner>(firings);
    owner->startRepeating();
    mainQueue().advance(0.1);
    ASSERT_EQ(firings, 1);

    owner.reset();
    mainQueue().advance(1);

    EXPECT_EQ(firings, 1);
    EXPECT_EQ(mainQueue().pendingCount(), 0u);
}

TEST(TimerOwnership, TargetMayDestroyTheOwnerOfItsTimer)
{
    int firings = 0;
    auto owner = std::make_unique<Owner>(firings);
    owner->timer.startRepeating(0.1, [&] {
        ++firings;
        owner.reset();
    });

    mainQueue().advance(1);

    EXPECT_EQ(firings, 1);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(mainQueue().pendingCount(), 0u);
}

}
}
