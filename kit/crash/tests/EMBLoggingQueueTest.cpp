#include "kit/crash/EMBLoggingQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace kit {
namespace {

// Work given from four threads at once, synchronous and asynchronous, nested too, runs one piece at a time:
// an unguarded count comes out exact and no piece ever sees another running.
TEST(EMBLoggingQueueTest, RunsEveryPieceOfWorkAloneWhateverThreadGivesIt)
{
    EMBLoggingQueue queue("com.cairn.ember.ios.logging");
    int count = 0;
    std::atomic<int> running { 0 };
    std::atomic<bool> overlapped { false };
    std::atomic<bool> offQueue { false };
    auto work = [&] {
        if (running.fetch_add(1) != 0)
            overlapped = true;
        if (!queue.isCurrent())
            offQueue = true;
        ++count;
        running.fetch_sub(1);
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                if ((i + t) % 3 == 0)
                    queue.async(work);
                else if ((i + t) % 3 == 1)
                    queue.sync(work);
                else
                    queue.sync([&] { queue.sync(work); });
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    queue.waitUntilIdle();
    EXPECT_EQ(count, 2000);
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(offQueue);
    EXPECT_FALSE(queue.isCurrent());
}

// Synchronous work runs on the caller's own thread, asynchronous work on the queue's.
TEST(EMBLoggingQueueTest, RunsSynchronousWorkOnTheCallersThread)
{
    EMBLoggingQueue queue("com.cairn.ember.ios.logging");
    std::thread::id syncThread;
    std::thread::id asyncThread;
    queue.sync([&] { syncThread = std::this_thread::get_id(); });
    queue.async([&] { asyncThread = std::this_thread::get_id(); });
    queue.waitUntilIdle();
    EXPECT_EQ(syncThread, std::this_thread::get_id());
    EXPECT_NE(asyncThread, std::this_thread::get_id());
    EXPECT_THROW(queue.sync([&] { queue.waitUntilIdle(); }), std::logic_error);
}

}
}
