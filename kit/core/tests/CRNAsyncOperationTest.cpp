#include "kit/core/CRNAsyncOperation.h"
#include "kit/core/CRNCompoundOperation.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/OperationQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <future>
#include <thread>

using namespace kit;
using platform::foundation::Error;
using platform::foundation::Operation;
using platform::foundation::OperationQueue;

namespace {

// An operation whose work ends when the test finishes it, or at once with `outcome` when given one.
class TestOperation : public CRNAsyncOperation {
public:
    explicit TestOperation(std::optional<std::optional<Error>> outcome = std::nullopt)
        : m_outcome(std::move(outcome))
    {
    }
    void main() override
    {
        ++mainCalls;
        started.set_value();
        if (m_outcome)
            finish(*m_outcome);
    }
    void finish(const std::optional<Error>& error)
    {
        if (auto completion = asyncCompletion())
            completion(error);
        markDone();
    }
    std::atomic<int> mainCalls { 0 };
    std::promise<void> started;

private:
    std::optional<std::optional<Error>> m_outcome;
};

Error failure(int code)
{
    return Error::withDescription("test", code, "failed " + std::to_string(code));
}

// Collects a compound operation's completions.
struct Outcomes {
    std::mutex mutex;
    std::vector<std::optional<Error>> received;
    std::promise<void> first;

    CRNAsyncOperation::AsyncCompletion completion()
    {
        return [this](const std::optional<Error>& error) {
            std::lock_guard lock(mutex);
            received.push_back(error);
            if (received.size() == 1)
                first.set_value();
        };
    }
};

}

TEST(CRNAsyncOperationTest, CancelledBeforeStartNeverRunsMain)
{
    auto operation = std::make_shared<TestOperation>();
    operation->cancel();
    operation->start();
    EXPECT_EQ(operation->mainCalls, 0);
    EXPECT_TRUE(operation->isFinished());
    EXPECT_FALSE(operation->isExecuting());
    EXPECT_TRUE(operation->isConcurrent() && operation->isAsynchronous());
}

TEST(CRNAsyncOperationTest, MarkDoneAnnouncesBothChanges)
{
    auto operation = std::make_shared<TestOperation>();
    std::vector<std::string> notices;
    operation->addStateObserver([&](std::string_view key, Operation::ChangePhase phase) {
        notices.push_back(
            std::string(phase == Operation::ChangePhase::Will ? "will " : "did ") + std::string(key));
    });
    operation->start();
    EXPECT_TRUE(operation->isExecuting());
    EXPECT_FALSE(operation->isFinished()) << "returning from main() does not end it";
    operation->markDone();
    EXPECT_FALSE(operation->isExecuting());
    EXPECT_TRUE(operation->isFinished());
    EXPECT_EQ(notices,
        (std::vector<std::string> { "will isExecuting", "did isExecuting", "will isExecuting",
            "did isExecuting", "will isFinished", "did isFinished" }));
    EXPECT_TRUE(operation->checkForCancellation() == false);
}

TEST(CRNAsyncOperationTest, AQueueWaitsForMarkDone)
{
    OperationQueue queue("test", 1);
    auto first = std::make_shared<TestOperation>();
    auto second = std::make_shared<TestOperation>(std::optional<Error> {});
    auto started = first->started.get_future();
    queue.addOperation(first);
    queue.addOperation(second);
    started.wait();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(second->mainCalls, 0);
    first->finish(std::nullopt);
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(second->mainCalls, 1);
}

TEST(CRNAsyncOperationTest, CompoundWithOneFailureCompletesOnceAfterTheLast)
{
    auto a = std::make_shared<TestOperation>();
    auto b = std::make_shared<TestOperation>();
    auto c = std::make_shared<TestOperation>();
    std::atomic<int> earlierCompletions { 0 };
    b->setAsyncCompletion([&](const std::optional<Error>&) { ++earlierCompletions; });
    auto compound
        = std::make_shared<CRNCompoundOperation>(std::vector<std::shared_ptr<CRNAsyncOperation>> { a, b, c });
    Outcomes outcomes;
    compound->setAsyncCompletion(outcomes.completion());
    OperationQueue queue("outer");
    queue.addOperation(compound);
    a->started.get_future().wait();
    b->started.get_future().wait();
    c->started.get_future().wait();
    a->finish(std::nullopt);
    b->finish(failure(7));
    EXPECT_FALSE(compound->isFinished());
    EXPECT_TRUE(outcomes.received.empty());
    c->finish(std::nullopt);
    compound->waitUntilFinished();
    ASSERT_EQ(outcomes.received.size(), 1u);
    const auto& error = outcomes.received.front();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), CRNCompoundOperation::kErrorDomain);
    EXPECT_EQ(error->code(), CRNCompoundOperation::kFailedCode);
    ASSERT_EQ(error->underlying().size(), 1u);
    EXPECT_EQ(error->underlying().front().code(), 7);
    auto listed = error->userInfo()->get(CRNCompoundOperation::kUnderlyingErrorsKey).array();
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->size(), 1u);
    EXPECT_EQ(earlierCompletions, 1) << "the sub-operation's own completion still runs";
}

TEST(CRNAsyncOperationTest, CompoundCompletesOnceWhenOperationsEndTogether)
{
    for (int round = 0; round < 10; ++round) {
        constexpr int kCount = 8;
        std::vector<std::shared_ptr<CRNAsyncOperation>> operations;
        std::vector<std::shared_ptr<TestOperation>> tests;
        for (int index = 0; index < kCount; ++index) {
            tests.push_back(std::make_shared<TestOperation>());
            operations.push_back(tests.back());
        }
        auto compound = std::make_shared<CRNCompoundOperation>(operations);
        Outcomes outcomes;
        compound->setAsyncCompletion(outcomes.completion());
        compound->start();
        for (auto& test : tests)
            test->started.get_future().wait();
        std::barrier together(kCount);
        std::vector<std::thread> threads;
        for (auto& test : tests) {
            threads.emplace_back([&, test] {
                together.arrive_and_wait();
                test->finish(std::nullopt);
            });
        }
        for (auto& thread : threads)
            thread.join();
        compound->waitUntilFinished();
        std::lock_guard lock(outcomes.mutex);
        ASSERT_EQ(outcomes.received.size(), 1u) << "round " << round;
        EXPECT_FALSE(outcomes.received.front());
    }
}

TEST(CRNAsyncOperationTest, CompoundOfNothingCompletesAtOnce)
{
    auto compound
        = std::make_shared<CRNCompoundOperation>(std::vector<std::shared_ptr<CRNAsyncOperation>> {});
    Outcomes outcomes;
    compound->setAsyncCompletion(outcomes.completion());
    compound->start();
    EXPECT_TRUE(compound->isFinished());
    ASSERT_EQ(outcomes.received.size(), 1u);
    EXPECT_FALSE(outcomes.received.front());
}

TEST(CRNAsyncOperationTest, CompoundCancelledBeforeStartEndsEveryOperation)
{
    auto a = std::make_shared<TestOperation>();
    auto b = std::make_shared<TestOperation>();
    auto compound
        = std::make_shared<CRNCompoundOperation>(std::vector<std::shared_ptr<CRNAsyncOperation>> { a, b });
    compound->cancel();
    a->waitUntilFinished();
    b->waitUntilFinished();
    EXPECT_EQ(a->mainCalls + b->mainCalls, 0);
    compound->start();
    EXPECT_TRUE(compound->isFinished());
}

TEST(CRNAsyncOperationTest, CompoundCancelledWhileRunningCompletesAtOnceAsCancelled)
{
    auto a = std::make_shared<TestOperation>();
    auto b = std::make_shared<TestOperation>();
    auto compound
        = std::make_shared<CRNCompoundOperation>(std::vector<std::shared_ptr<CRNAsyncOperation>> { a, b });
    compound->setName("upload");
    Outcomes outcomes;
    compound->setAsyncCompletion(outcomes.completion());
    compound->start();
    a->started.get_future().wait();
    b->started.get_future().wait();
    compound->cancel();
    EXPECT_TRUE(compound->isFinished());
    EXPECT_TRUE(a->isCancelled() && b->isCancelled());
    a->finish(failure(-999));
    b->finish(failure(-999));
    ASSERT_EQ(outcomes.received.size(), 1u);
    ASSERT_TRUE(outcomes.received.front());
    EXPECT_EQ(outcomes.received.front()->code(), CRNCompoundOperation::kCancelledCode);
    EXPECT_EQ(outcomes.received.front()->localizedDescription(), "upload cancelled");
}
