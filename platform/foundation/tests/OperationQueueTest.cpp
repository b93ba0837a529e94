#include "platform/foundation/OperationQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using platform::foundation::BlockOperation;
using platform::foundation::Operation;
using platform::foundation::OperationQueue;

namespace {

// A concurrent operation that ends only when the test says so.
class HeldOperation : public Operation {
public:
    bool isConcurrent() const override { return true; }
    bool isExecuting() const override { return m_executing; }
    bool isFinished() const override { return m_finished; }
    void start() override
    {
        willChangeValueForKey("isExecuting");
        m_executing = true;
        didChangeValueForKey("isExecuting");
        m_started.set_value();
    }
    void finish()
    {
        willChangeValueForKey("isExecuting");
        m_executing = false;
        didChangeValueForKey("isExecuting");
        willChangeValueForKey("isFinished");
        m_finished = true;
        didChangeValueForKey("isFinished");
    }
    std::future<void> started() { return m_started.get_future(); }

private:
    std::atomic<bool> m_executing { false };
    std::atomic<bool> m_finished { false };
    std::promise<void> m_started;
};

}

TEST(OperationQueueTest, OneAtATimeRunsInOrderAndCompletesEach)
{
    OperationQueue queue("one at a time", 1);
    std::vector<int> order;
    std::atomic<int> completions { 0 };
    std::vector<std::shared_ptr<Operation>> operations;
    for (int index = 0; index < 5; ++index) {
        auto operation = std::make_shared<BlockOperation>([&order, index] { order.push_back(index); });
        operation->setCompletionBlock([&] { ++completions; });
        operations.push_back(operation);
    }
    queue.addOperations(operations, true);
    EXPECT_EQ(order, (std::vector<int> { 0, 1, 2, 3, 4 }));
    EXPECT_EQ(completions, 5);
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(queue.operationCount(), 0u);
    for (const auto& operation : operations)
        EXPECT_TRUE(operation->isFinished() && !operation->isExecuting());
}

TEST(OperationQueueTest, AConcurrentOperationRunsUntilItSaysItHasFinished)
{
    OperationQueue queue("held", 1);
    auto held = std::make_shared<HeldOperation>();
    auto started = held->started();
    std::atomic<bool> secondRan { false };
    queue.addOperation(held);
    queue.addOperation([&] { secondRan = true; });
    started.wait();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(secondRan) << "start() returning must not end a concurrent operation";
    EXPECT_EQ(queue.operationCount(), 2u);
    held->finish();
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(secondRan);
}

TEST(OperationQueueTest, ACancelledOperationFinishesWithoutRunning)
{
    OperationQueue queue("cancelled", 1);
    auto held = std::make_shared<HeldOperation>();
    auto started = held->started();
    queue.addOperation(held);
    std::atomic<bool> ran { false };
    auto cancelled = std::make_shared<BlockOperation>([&] { ran = true; });
    queue.addOperation(cancelled);
    started.wait();
    queue.cancelAllOperations();
    held->finish();
    cancelled->waitUntilFinished();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(cancelled->isCancelled() && cancelled->isFinished());
}

TEST(OperationQueueTest, OperationsOutliveTheQueueObject)
{
    auto held = std::make_shared<HeldOperation>();
    auto later = std::make_shared<BlockOperation>([] {});
    {
        OperationQueue queue("gone", 1);
        queue.addOperation(held);
        queue.addOperation(later);
        held->started().wait();
    }
    held->finish();
    later->waitUntilFinished();
    EXPECT_TRUE(later->isFinished());
}

TEST(OperationQueueTest, ManyOperationsOnManyThreads)
{
    OperationQueue queue("many");
    std::atomic<int> running { 0 };
    std::atomic<int> most { 0 };
    std::atomic<int> done { 0 };
    for (int index = 0; index < 64; ++index) {
        queue.addOperation([&] {
            int now = ++running;
            int seen = most.load();
            while (now > seen && !most.compare_exchange_weak(seen, now)) { }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            --running;
            ++done;
        });
    }
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(done, 64);
    EXPECT_LE(most, static_cast<int>(OperationQueue::kDefaultMaxConcurrentOperationCount));
}
