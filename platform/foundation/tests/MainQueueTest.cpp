#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace platform::foundation {
namespace {

/// Records which task ran, and the queue's clock when it did (steady seconds, from zero at the
/// virtual start: exact, unlike dates, whose doubles hold large numbers).
class MainQueueTest : public testing::Test {
protected:
    std::function<void()> record(std::string name)
    {
        return [this, name] { m_runs.push_back({ name, mainQueue().clock().steadySeconds() }); };
    }

    struct Run {
        std::string name;
        double at { 0 };
        bool operator==(const Run&) const = default;
        friend void PrintTo(const Run& run, std::ostream* out) { *out << run.name << " at " << run.at; }
    };

    std::vector<Run> m_runs;
};

TEST_F(MainQueueTest, RunsTasksByDueTimeThenPostingOrder)
{
    auto& queue = mainQueue();
    queue.after(0.3, record("c"));
    queue.async(record("a"));
    queue.after(0.1, record("b"));
    queue.after(0.3, record("d"));
    queue.after(0, record("e"));
    queue.after(-5, record("f"));
    queue.async(record("g"));

    queue.advance(1);

    std::vector<Run> expected { { "a", 0 }, { "e", 0 }, { "f", 0 }, { "g", 0 }, { "b", 0.1 }, { "c", 0.3 },
        { "d", 0.3 } };
    EXPECT_EQ(m_runs, expected);
    EXPECT_NEAR(now().secondsSince(Clock::kVirtualStart), 1, 1e-6);
}

TEST_F(MainQueueTest, RunUntilIdleRunsDueTasksAndTheirFollowersWithoutMovingTheClock)
{
    auto& queue = mainQueue();
    queue.async([&] {
        m_runs.push_back({ "first", 0 });
        queue.async(record("posted by first"));
    });
    queue.after(0.5, record("later"));

    EXPECT_EQ(queue.runUntilIdle(), 2u);
    EXPECT_EQ(m_runs.size(), 2u);
    EXPECT_EQ(m_runs.back().name, "posted by first");
    EXPECT_EQ(now(), Clock::kVirtualStart);
    EXPECT_EQ(queue.pendingCount(), 1u);
    EXPECT_EQ(queue.runUntilIdle(), 0u);

    queue.advance(0.49);
    EXPECT_EQ(m_runs.size(), 2u);
    queue.advance(0.01);
    EXPECT_EQ(m_runs.back(), (Run { "later", 0.5 }));
}

TEST_F(MainQueueTest, CancelledTasksNeverRun)
{
    auto& queue = mainQueue();
    auto early = queue.after(0.1, record("early"));
    auto victim = queue.after(0.5, record("victim"));
    queue.after(0.2, [&] { queue.cancel(victim); });
    queue.after(0.3, record("kept"));
    queue.cancel(early);
    queue.cancel(early);

    queue.advance(1);
    queue.cancel(victim);
    queue.cancel(9999999);

    EXPECT_EQ(m_runs, (std::vector<Run> { { "kept", 0.3 } }));
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST_F(MainQueueTest, TasksPostedDuringAdvanceRunWhenTheyFallDueInsideTheWindow)
{
    auto& queue = mainQueue();
    queue.after(0.2, [&] {
        m_runs.push_back({ "outer", mainQueue().clock().steadySeconds() });
        queue.after(0.3, record("inside"));
        queue.after(1.0, record("outside"));
        queue.async(record("at once"));
    });
    queue.after(0.2, record("sibling"));

    queue.advance(1);

    std::vector<Run> expected { { "outer", 0.2 }, { "sibling", 0.2 }, { "at once", 0.2 }, { "inside", 0.5 } };
    EXPECT_EQ(m_runs, expected);
    EXPECT_NEAR(now().secondsSince(Clock::kVirtualStart), 1, 1e-6);

    queue.advance(0.2);
    EXPECT_EQ(m_runs.back(), (Run { "outside", 1.2 }));
}

TEST_F(MainQueueTest, RepeatedDelaysAddUpExactly)
{
    auto& queue = mainQueue();
    int steps = 0;
    std::function<void()> step = [&] {
        ++steps;
        queue.after(0.01, step);
    };
    queue.after(0.01, step);

    queue.advance(1);

    EXPECT_EQ(steps, 100);
}

TEST_F(MainQueueTest, NonsenseDelaysNeitherOverflowNorStall)
{
    auto& queue = mainQueue();
    queue.after(std::numeric_limits<double>::quiet_NaN(), record("not a number"));
    queue.after(-std::numeric_limits<double>::infinity(), record("minus infinity"));
    queue.after(1e300, record("far future"));
    queue.after(std::numeric_limits<double>::infinity(), record("infinity"));

    queue.advance(1e6);

    EXPECT_EQ(m_runs, (std::vector<Run> { { "not a number", 0 }, { "minus infinity", 0 } }));
    EXPECT_EQ(queue.pendingCount(), 2u);
}

TEST_F(MainQueueTest, SettingTheDateNeitherFiresNorHoldsBackTimers)
{
    auto& queue = mainQueue();
    queue.after(0.5, record("timer"));
    Date later { Clock::kVirtualStart.secondsSince1970 + 86400 * 365 };

    queue.clock().setNow(later);
    queue.runUntilIdle();
    EXPECT_TRUE(m_runs.empty());
    EXPECT_EQ(now(), later);

    queue.advance(0.5);
    ASSERT_EQ(m_runs.size(), 1u);
    EXPECT_EQ(now(), later.addingSeconds(0.5));
}

TEST_F(MainQueueTest, ResetDropsPendingTasksEvenWhenDroppingPostsMore)
{
    auto& queue = mainQueue();
    struct PostsOnDestruction {
        ~PostsOnDestruction()
        {
            mainQueue().async([] {});
        }
    };
    auto posts = std::make_shared<PostsOnDestruction>();
    queue.after(1, [posts] {});
    queue.async([posts] {});
    posts.reset();

    queue.reset();

    EXPECT_EQ(queue.pendingCount(), 0u);
    EXPECT_EQ(queue.runUntilIdle(), 0u);
}

TEST_F(MainQueueTest, RunUntilProcessesTasksPostedByABackgroundThread)
{
    auto& queue = mainQueue();
    std::vector<int> received;
    bool ranOnMainThread = true;
    std::thread worker([&] {
        for (int index = 0; index < 5; ++index) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            queue.async([&, index] {
                ranOnMainThread = ranOnMainThread && queue.isMainThread();
                received.push_back(index);
            });
        }
    });

    bool done = queue.runUntil([&] { return received.size() == 5; });
    worker.join();

    EXPECT_TRUE(done);
    EXPECT_EQ(received, (std::vector<int> { 0, 1, 2, 3, 4 }));
    EXPECT_TRUE(ranOnMainThread);
    EXPECT_EQ(now(), Clock::kVirtualStart);
}

TEST_F(MainQueueTest, RunUntilGivesUpAtTheTimeout)
{
    auto& queue = mainQueue();
    queue.after(0.01, record("virtual timer"));
    auto started = std::chrono::steady_clock::now();

    EXPECT_FALSE(queue.runUntil([] { return false; }, std::chrono::milliseconds(50)));

    auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, std::chrono::milliseconds(50));
    EXPECT_LT(waited, std::chrono::seconds(20));
    EXPECT_TRUE(m_runs.empty());
}

TEST_F(MainQueueTest, RunUntilNoticesAConditionSetWithoutPosting)
{
    std::atomic<bool> flag { false };
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        flag = true;
    });

    EXPECT_TRUE(mainQueue().runUntil([&] { return flag.load(); }, std::chrono::seconds(30)));
    worker.join();
}

TEST_F(MainQueueTest, RunUntilTakesATimeOutLongerThanTheClockCanCount)
{
    std::atomic<bool> flag { false };
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        flag = true;
    });

    EXPECT_TRUE(mainQueue().runUntil([&] { return flag.load(); }, std::chrono::milliseconds::max()));
    worker.join();
}

TEST(MainQueueThreads, OnlyTheMainThreadRunsTheQueue)
{
    EXPECT_TRUE(mainQueue().isMainThread());

    MainQueue queue;
    EXPECT_FALSE(queue.isMainThread());
    std::thread other([&] {
        queue.claimMainThread();
        EXPECT_TRUE(queue.isMainThread());
    });
    other.join();

    EXPECT_FALSE(queue.isMainThread());
    EXPECT_THROW(queue.runUntilIdle(), std::logic_error);
    EXPECT_THROW(queue.claimMainThread(), std::logic_error);
}

TEST(MainQueueThreads, TheFirstThreadToRunTheQueueBecomesItsMainThread)
{
    MainQueue queue;
    bool onMain = false;
    queue.async([&] { onMain = queue.isMainThread(); });

    queue.runUntilIdle();

    EXPECT_TRUE(onMain);
    std::thread other([&] { EXPECT_THROW(queue.runUntilIdle(), std::logic_error); });
    other.join();
}

TEST(MainQueueClocks, VirtualClockOnlyOperationsRefuseTheRealClock)
{
    MainQueue queue;
    EXPECT_FALSE(queue.clock().isVirtual());
    EXPECT_THROW(queue.advance(1), std::logic_error);
    EXPECT_THROW(queue.clock().setNow(Clock::kVirtualStart), std::logic_error);

    auto before = std::chrono::system_clock::now().time_since_epoch();
    double real = queue.clock().now().secondsSince1970;
    EXPECT_NEAR(real, std::chrono::duration<double>(before).count(), 5);
}

TEST(MainQueueClocks, SwitchingClocksKeepsRemainingDelays)
{
    MainQueue queue;
    queue.useVirtualClock();
    queue.advance(10);
    int runs = 0;
    queue.after(0.05, [&] { ++runs; });
    queue.after(3600, [&] { ++runs; });

    queue.useRealClock();
    queue.runUntil([&] { return runs > 0; }, std::chrono::seconds(30));
    EXPECT_EQ(runs, 1);

    queue.useVirtualClock(Date { 1000 });
    EXPECT_EQ(queue.clock().now(), Date { 1000 });
    queue.advance(3599);
    EXPECT_EQ(runs, 1);
    queue.advance(1);
    EXPECT_EQ(runs, 2);
}

TEST(MainQueueRun, RunFollowsTheRealClockUntilStopped)
{
    MainQueue queue;
    std::vector<std::string> order;
    queue.after(0.03, [&] {
        order.push_back("late");
        queue.stop();
    });
    queue.after(0.01, [&] { order.push_back("early"); });
    queue.async([&] { order.push_back("now"); });
    queue.after(0.5, [&] { order.push_back("after stop"); });

    queue.run();

    EXPECT_EQ(order, (std::vector<std::string> { "now", "early", "late" }));
    EXPECT_EQ(queue.pendingCount(), 1u);
}

TEST(MainQueueRun, AnEarlierTimerPostedWhileWaitingWakesTheQueue)
{
    MainQueue queue;
    queue.after(60, [&] {
        ADD_FAILURE() << "the far timer ran first";
        queue.stop();
    });
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        queue.after(0.01, [&] { queue.stop(); });
    });
    auto started = std::chrono::steady_clock::now();

    queue.run();
    poster.join();

    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
}

TEST(MainQueueRun, StopBeforeRunMakesRunReturnAtOnce)
{
    MainQueue queue;
    std::thread stopper([&] { queue.stop(); });
    stopper.join();

    queue.run();

    queue.async([&] { queue.stop(); });
    queue.run();
    EXPECT_EQ(queue.pendingCount(), 0u);
}

}
}
