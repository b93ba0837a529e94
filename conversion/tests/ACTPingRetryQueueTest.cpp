#include "conversion/ACTPingRetryQueue.h"
#include "conversion/ACTPingRetryScheduler.h"
#include "conversion/ACTPinger.h"
#include "conversion/tests/ConversionFixture.h"

#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

namespace conversion::test {
namespace {

using platform::foundation::mainQueue;

class ACTPingRetryQueueTest : public ConversionFixture {
protected:
    std::shared_ptr<ACTPinger> pinger(std::size_t number)
    {
        platform::http::UrlRequest request;
        request.url = backend.url("/pagead/conversion/" + std::to_string(number) + "/?value=1");
        return ACTPinger::make(request);
    }

    std::vector<std::shared_ptr<ACTPinger>> pingers(std::size_t count, std::size_t first = 0)
    {
        std::vector<std::shared_ptr<ACTPinger>> made;
        for (std::size_t i = first; i < first + count; ++i)
            made.push_back(pinger(i));
        return made;
    }
};

TEST_F(ACTPingRetryQueueTest, HoldsAtMostFiveHundredPingers)
{
    ACTPingRetryQueue queue;
    for (const auto& each : pingers(490))
        queue.addPinger(each);
    queue.addPingersFromSet(pingers(20, 490));
    EXPECT_EQ(queue.count(), 500u);
    queue.addPinger(pinger(600));
    EXPECT_EQ(queue.count(), 500u);
}

TEST_F(ACTPingRetryQueueTest, ABatchTakesFiftyFromTheFrontAndPingsEqualPingersOnce)
{
    ACTPingRetryQueue queue;
    auto first = pinger(1);
    auto same = pinger(1);
    auto second = pinger(2);
    for (const auto& each : { first, same, second })
        queue.addPinger(each);
    queue.addPingersFromSet(pingers(60, 10));
    queue.retry();
    EXPECT_EQ(queue.count(), 13u);
    EXPECT_TRUE(first->isConnected());
    EXPECT_FALSE(same->isConnected());
    ASSERT_TRUE(waitForPings(49));
    ASSERT_TRUE(mainQueue().runUntil([&] { return !first->isConnected() && !second->isConnected(); }));
    auto received = backend.conversionPings().pings();
    EXPECT_EQ(std::count_if(received.begin(), received.end(),
                  [](const auto& ping) { return ping.conversionID == "1"; }),
        1);
}

TEST_F(ACTPingRetryQueueTest, TheSchedulerRunsABatchEveryThreeMinutesWhileScheduling)
{
    auto scheduler = std::make_shared<ACTPingRetryScheduler>();
    scheduler->retryQueue().addPingersFromSet(pingers(250));
    scheduler->startScheduling();
    EXPECT_EQ(scheduler->retryQueue().count(), 200u);
    mainQueue().advance(179.9);
    EXPECT_EQ(scheduler->retryQueue().count(), 200u);
    mainQueue().advance(0.1);
    EXPECT_EQ(scheduler->retryQueue().count(), 150u);

    // A timer left over from before a stop starts no batch: after a stop and a new start, one batch a turn.
    scheduler->stopScheduling();
    scheduler->startScheduling();
    EXPECT_EQ(scheduler->retryQueue().count(), 100u);
    mainQueue().advance(180);
    EXPECT_EQ(scheduler->retryQueue().count(), 50u);

    scheduler->stopScheduling();
    EXPECT_FALSE(scheduler->isScheduling());
    mainQueue().advance(360);
    EXPECT_EQ(scheduler->retryQueue().count(), 50u);
}

TEST_F(ACTPingRetryQueueTest, AReleasedSchedulerRunsNoMoreBatches)
{
    auto scheduler = std::make_shared<ACTPingRetryScheduler>();
    auto waiting = pingers(60);
    scheduler->retryQueue().addPingersFromSet(waiting);
    scheduler->startScheduling();
    scheduler.reset();
    mainQueue().advance(180);
    EXPECT_FALSE(waiting.back()->isConnected());
}

}
}
