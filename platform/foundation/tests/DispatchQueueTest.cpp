#include "platform/foundation/DispatchQueue.h"

#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <numeric>
#include <vector>

namespace platform::foundation {
namespace {

TEST(DispatchQueue, SerialQueueRunsTasksOneAtATimeInPostingOrder)
{
    DispatchQueue queue("serial");
    std::vector<int> order;
    std::atomic<int> running { 0 };
    bool overlapped = false;
    for (int index = 0; index < 500; ++index) {
        queue.async([&, index] {
            overlapped = overlapped || running.fetch_add(1) != 0;
            order.push_back(index);
            running.fetch_sub(1);
        });
    }

    queue.waitUntilIdle();

    std::vector<int> expected(500);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(overlapped);
}

TEST(DispatchQueue, ConcurrentQueueRunsTasksSideBySide)
{
    constexpr int kTasks = 3;
    DispatchQueue queue("concurrent", DispatchQueue::Kind::Concurrent, kTasks);
    std::mutex mutex;
    std::condition_variable arrived;
    int present = 0;
    std::atomic<int> metTheOthers { 0 };
    for (int index = 0; index < kTasks; ++index) {
        queue.async([&] {
            std::unique_lock lock(mutex);
            ++present;
            arrived.notify_all();
            if (arrived.wait_for(lock, std::chrono::seconds(30), [&] { return present == kTasks; }))
                ++metTheOthers;
        });
    }

    queue.waitUntilIdle();

    EXPECT_EQ(metTheOthers, kTasks);
}

TEST(DispatchQueue, ResultsComeBackOnTheMainQueue)
{
    DispatchQueue queue("worker");
    int result = 0;
    bool onMainThread = false;
    queue.async([&] {
        int computed = 6 * 7;
        mainQueue().async([&, computed] {
            onMainThread = mainQueue().isMainThread();
            result = computed;
        });
    });

    EXPECT_TRUE(mainQueue().runUntil([&] { return result != 0; }));
    EXPECT_EQ(result, 42);
    EXPECT_TRUE(onMainThread);
}

TEST(DispatchQueue, DestructionFinishesEveryPostedTaskFirst)
{
    std::atomic<int> ran { 0 };
    {
        DispatchQueue queue("draining", DispatchQueue::Kind::Concurrent, 2);
        for (int index = 0; index < 20; ++index) {
            queue.async([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                ++ran;
                queue.async([&] { ++ran; });
            });
        }
    }
    EXPECT_EQ(ran, 40);
}

TEST(DispatchQueue, AQueueMayBeDestroyedByItsOwnTask)
{
    std::promise<void> released;
    /// Holds the last reference to the queue and signals once it has let it go.
    struct LastReference {
        std::shared_ptr<DispatchQueue> queue;
        std::promise<void>* released;
        ~LastReference()
        {
            queue.reset();
            released->set_value();
        }
    };
    auto queue = std::make_shared<DispatchQueue>("self-destroying");
    auto holder = std::make_shared<LastReference>(queue, &released);
    queue->async([holder] {});
    holder.reset();
    queue.reset();

    EXPECT_EQ(released.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
}

TEST(DispatchQueue, SyncWaitsForItsTaskAndRunsInlineFromTheQueueItself)
{
    DispatchQueue queue("sync");
    bool ranOnQueue = false;
    queue.sync([&] { ranOnQueue = queue.isCurrent(); });
    EXPECT_TRUE(ranOnQueue);
    EXPECT_FALSE(queue.isCurrent());

    std::vector<int> order;
    queue.sync([&] {
        order.push_back(1);
        queue.sync([&] { order.push_back(2); });
        order.push_back(3);
    });
    EXPECT_EQ(order, (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(queue.label(), "sync");
}

TEST(DispatchQueue, GlobalQueueIsSharedAndConcurrent)
{
    EXPECT_EQ(&DispatchQueue::global(), &DispatchQueue::global());
    std::atomic<int> ran { 0 };
    for (int index = 0; index < 10; ++index)
        DispatchQueue::global().async([&] { ++ran; });
    DispatchQueue::global().waitUntilIdle();
    EXPECT_EQ(ran, 10);
}

}
}
