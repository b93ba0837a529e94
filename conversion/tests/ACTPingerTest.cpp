#include "conversion/ACTPinger.h"
#include "conversion/ACTApplication.h"
#include "conversion/ACTPingRetryScheduler.h"
#include "conversion/ACTPingerStore.h"
#include "conversion/tests/ConversionFixture.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace conversion::test {
namespace {

using platform::foundation::Date;
using platform::foundation::Dictionary;
using platform::foundation::Error;
using platform::foundation::mainQueue;
using platform::http::UrlRequest;
using testing::ServerResponse;

struct RecordingDelegate : ACTPingerDelegate {
    int successes { 0 };
    std::vector<std::optional<Error>> failures;

    void pingDidSucceed(ACTPinger&) override { ++successes; }
    void pingDidFail(ACTPinger&, const std::optional<Error>& error) override { failures.push_back(error); }
};

class ACTPingerTest : public ConversionFixture {
protected:
    std::shared_ptr<ACTPinger> pinger(const std::string& url)
    {
        UrlRequest request;
        request.url = url;
        request.cachePolicy = UrlRequest::CachePolicy::ReloadIgnoringLocalCacheData;
        auto made = ACTPinger::make(request);
        made->setDelegate(delegate);
        return made;
    }

    static ACTPingRetryQueue& retryQueue()
    {
        return ACTApplication::sharedApplication()->retryScheduler()->retryQueue();
    }

    static bool ended(const std::shared_ptr<ACTPinger>& pinger)
    {
        return mainQueue().runUntil([&] { return !pinger->isConnected(); });
    }

    std::shared_ptr<RecordingDelegate> delegate { std::make_shared<RecordingDelegate>() };
};

TEST_F(ACTPingerTest, ASuccessfulPingLeavesTheStoreAndTellsTheDelegate)
{
    auto url = backend.url("/pagead/conversion/123/?label=sale");
    auto ping = pinger(url);
    ping->ping();
    EXPECT_EQ(storedRequests(), std::vector<std::string> { url + "&retry=1" });
    auto form = storedForm(url + "&retry=1");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->get(ACTPinger::kRetryCountKey).integer(), 200);
    EXPECT_EQ(form->get(ACTPinger::kStaleDateKey).date(), platform::foundation::now().addingSeconds(1209600));

    ASSERT_TRUE(ended(ping));
    ASSERT_EQ(attempts().size(), 1u);
    EXPECT_EQ(attempts()[0].conversionID, "123");
    EXPECT_FALSE(attempts()[0].parameter("retry"));
    EXPECT_TRUE(storedRequests().empty());
    EXPECT_EQ(delegate->successes, 1);
    EXPECT_FALSE(ping->delegate());
    EXPECT_TRUE(logged("ping successful."));
}

TEST_F(ACTPingerTest, EveryAttemptAfterTheFirstCarriesTheRetryMarker)
{
    struct Case {
        std::string path;
        std::string marker;
    };
    for (const auto& [path, marker] : { Case { "/pagead/conversion/123/?label=sale", "&retry=1" },
             Case { "/adactivity/activity;dc_iu=unit;dc_lat=0", "?retry=1" } }) {
        SCOPED_TRACE(path);
        backend.clearRequests();
        backend.failRoute("GET", "/pagead/conversion/*", 500, 1);
        backend.failRoute("GET", "/adactivity/*", 500, 1);
        auto ping = pinger(backend.url(path));
        ping->ping();
        ASSERT_TRUE(ended(ping));
        EXPECT_EQ(ping->request().url, backend.url(path) + marker);
        EXPECT_EQ(retryQueue().count(), 1u);
        EXPECT_EQ(ping->remainingRetryCount(), 199u);

        mainQueue().advance(ACTPingRetryScheduler::kTimeBetweenBatches);
        ASSERT_TRUE(ended(ping));
        auto sent = attempts();
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].target, path);
        EXPECT_EQ(sent[1].target, path + marker);
        EXPECT_TRUE(storedRequests().empty());
        backend.clearHooks();
        mainQueue().reset();
        restart();
    }
}

TEST_F(ACTPingerTest, AFailedAttemptKeepsTheDelegateToHearHowTheRetryEnds)
{
    struct Case {
        const char* name;
        bool dropped;
        bool retryFails;
        int successes;
        std::size_t failures;
    };
    for (auto [name, dropped, retryFails, successes, failures] : {
             Case { "server error, then success", false, false, 1, 0 },
             Case { "server error, then the last retry fails", false, true, 0, 1 },
             Case { "transport error, then success", true, false, 1, 0 },
             Case { "transport error, then the last retry fails", true, true, 0, 1 },
         }) {
        SCOPED_TRACE(name);
        delegate = std::make_shared<RecordingDelegate>();
        if (dropped)
            backend.dropRoute("GET", "/pagead/conversion/*", 1);
        else
            backend.failRoute("GET", "/pagead/conversion/*", 500, 1);
        auto ping = pinger(backend.url("/pagead/conversion/9/?value=1"));
        ping->ping();
        ASSERT_TRUE(ended(ping));
        EXPECT_EQ(ping->delegate(), delegate);
        EXPECT_EQ(retryQueue().count(), 1u);

        if (retryFails) {
            ping->setRemainingRetryCount(0);
            backend.failRoute("GET", "/pagead/conversion/*", 500, 1);
        }
        mainQueue().advance(ACTPingRetryScheduler::kTimeBetweenBatches);
        ASSERT_TRUE(ended(ping));
        EXPECT_EQ(delegate->successes, successes);
        ASSERT_EQ(delegate->failures.size(), failures);
        if (failures) {
            ASSERT_TRUE(delegate->failures[0]);
            EXPECT_EQ(delegate->failures[0]->code(), 500);
        }
        EXPECT_FALSE(ping->delegate()) << "the ping has ended";
        EXPECT_TRUE(storedRequests().empty());
        backend.clearHooks();
        mainQueue().reset();
        restart();
    }
}

TEST_F(ACTPingerTest, AStatusNeitherSuccessNorErrorKeepsThePingForTheNextRunOnly)
{
    backend.answerRoute("GET", "/pagead/conversion/*", ServerResponse::empty(204), 1);
    auto url = backend.url("/pagead/conversion/77/?value=2");
    auto ping = pinger(url);
    ping->ping();
    ASSERT_TRUE(ended(ping));
    EXPECT_EQ(storedRequests(), std::vector<std::string> { url + "&retry=1" });
    EXPECT_EQ(retryQueue().count(), 0u);
    EXPECT_EQ(delegate->successes, 0);
    EXPECT_TRUE(delegate->failures.empty());
    EXPECT_FALSE(ping->delegate()) << "let go untold";

    // The next run sends it again in its first batch, with the one retry marker it was stored with.
    restart();
    ACTApplication::sharedApplication();
    ASSERT_TRUE(waitForPings(1));
    EXPECT_EQ(backend.conversionPings().pings()[0].target, "/pagead/conversion/77/?value=2&retry=1");
    ASSERT_TRUE(mainQueue().runUntil([] { return storedRequests().empty(); }));
}

TEST_F(ACTPingerTest, APingOutOfRetriesOrStaleIsGivenUp)
{
    struct Case {
        const char* name;
        std::uint64_t retries;
        double staleIn;
    };
    for (auto [name, retries, staleIn] : { Case { "no retries left", 0, 60 }, Case { "stale", 5, -1 } }) {
        SCOPED_TRACE(name);
        delegate = std::make_shared<RecordingDelegate>();
        backend.answerRoute("GET", "/pagead/conversion/*", ServerResponse::text(503, "busy"), 1);
        auto ping = pinger(backend.url("/pagead/conversion/5/?value=3"));
        ping->setRemainingRetryCount(retries);
        ping->setStaleDate(platform::foundation::now().addingSeconds(staleIn));
        ping->ping();
        ASSERT_TRUE(ended(ping));
        EXPECT_EQ(retryQueue().count(), 0u);
        EXPECT_TRUE(storedRequests().empty());
        ASSERT_EQ(delegate->failures.size(), 1u);
        ASSERT_TRUE(delegate->failures[0]);
        EXPECT_EQ(delegate->failures[0]->domain(), "com.marquee.ibasdk");
        EXPECT_EQ(delegate->failures[0]->code(), 503);
        EXPECT_TRUE(logged("ping unsuccessful. Error: service unavailable \"busy\"."));
    }
}

TEST_F(ACTPingerTest, APingWithoutAConnectionFailsAtOnce)
{
    auto ping = pinger("not a url");
    ping->ping();
    EXPECT_TRUE(logged("could not initiate connection."));
    EXPECT_EQ(retryQueue().count(), 1u);
    EXPECT_EQ(ping->remainingRetryCount(), 199u);
    EXPECT_EQ(storedRequests(), std::vector<std::string> { "not a url?retry=1" });
}

TEST_F(ACTPingerTest, AFullStoreStillSendsANewPingButDoesNotKeepIt)
{
    // Left over from earlier runs, each answered 204 so that they stay where they are.
    backend.answerRoute("GET", "/leftover/*", ServerResponse::empty(204));
    auto store = Dictionary::make();
    for (std::size_t i = 0; i < ACTPingerStore::kMaxEntries; ++i)
        store->set(backend.url("/leftover/" + std::to_string(i) + "?retry=1"),
            Dictionary::make({ { ACTPinger::kRetryCountKey, 3 },
                { ACTPinger::kStaleDateKey, platform::foundation::now().addingSeconds(600) } }));
    platform::foundation::Defaults::standard()->setValue(ACTPingerStore::kDefaultsKey, store);

    auto url = backend.url("/pagead/conversion/1/?value=4");
    auto ping = pinger(url);
    ping->ping();
    ASSERT_TRUE(waitForPings(1));
    ASSERT_TRUE(ended(ping));
    EXPECT_EQ(delegate->successes, 1);
    auto stored = storedRequests();
    EXPECT_EQ(stored.size(), ACTPingerStore::kMaxEntries);
    EXPECT_EQ(std::count(stored.begin(), stored.end(), url + "&retry=1"), 0);
}

TEST_F(ACTPingerTest, AStoredEntryWithoutItsStaleDateIsSentOnceAndNotKept)
{
    backend.failRoute("GET", "/pagead/conversion/*", 500, 1);
    auto url = backend.url("/pagead/conversion/8/?value=5&retry=1");
    platform::foundation::Defaults::standard()->setValue(ACTPingerStore::kDefaultsKey,
        Dictionary::make({ { url, Dictionary::make({ { ACTPinger::kRetryCountKey, 10 } }) } }));
    ACTApplication::sharedApplication();
    ASSERT_TRUE(mainQueue().runUntil([this] {
        auto lines = logLines();
        return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.starts_with("<Marquee> ping unsuccessful. Error: internal server error");
        });
    }));
    EXPECT_EQ(attempts().size(), 1u);
    EXPECT_TRUE(storedRequests().empty());
    EXPECT_EQ(retryQueue().count(), 0u);
}

}
}
