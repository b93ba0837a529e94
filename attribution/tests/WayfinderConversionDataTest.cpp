#include "attribution/tests/TrackerFixture.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Json.h"
#include "platform/http/UrlLoading.h"
#include "testing/server/Gate.h"

namespace attribution::test {
namespace {

using platform::foundation::Defaults;
using platform::foundation::Dictionary;
using platform::foundation::Value;

/// A delegate that answers both conversion data methods and keeps what it hears.
class ConversionDelegate : public WayfinderTrackerDelegate {
public:
    bool respondsTo(Callback callback) const override { return callback != Callback::AppOpenAttribution; }
    void onConversionDataReceived(const platform::foundation::DictionaryRef& data) override
    {
        std::lock_guard lock(mutex);
        received.push_back(platform::foundation::toJson(Value(data)));
    }
    void onConversionDataRequestFailure(const platform::foundation::Error& error) override
    {
        std::lock_guard lock(mutex);
        failures.push_back(error);
    }

    std::mutex mutex;
    std::vector<std::string> received;
    std::vector<platform::foundation::Error> failures;
};

class WayfinderConversionDataTest : public TrackerFixture {
protected:
    std::size_t fetches() const
    {
        std::size_t count = 0;
        for (const auto& request : m_backend.requests())
            count += request.path.starts_with("/install_data/v3/id");
        return count;
    }

    std::shared_ptr<ConversionDelegate> delegate { std::make_shared<ConversionDelegate>() };
};

TEST_F(WayfinderConversionDataTest, TheFirstLaunchFetchesAndKeepsTheDataWhichLaterRequestsCarry)
{
    tracker.trackAppLaunch();
    platform::foundation::mainQueue().advance(WayfinderTracker::kLaunchDelay);
    settle();
    EXPECT_EQ(fetches(), 1u) << "no delegate: the tracker fetches for itself";
    EXPECT_EQ(Defaults::standard()->value("WayfinderConversiondataKey"),
        Value(Dictionary::make({ { "install_status", "organic" } })));
    EXPECT_NEAR(Defaults::standard()->real("WayfinderConversionDataCacheExpiration"),
        platform::foundation::now().secondsSince1970, 0.01)
        << "a fresh answer starts the expiry";

    tracker.callServerWithEventName("next");
    settle();
    ASSERT_EQ(received().size(), 2u);
    EXPECT_EQ(received().back().field("installAttribution"), R"({"install_status":"organic"})");
}

TEST_F(WayfinderConversionDataTest, AnAnswerLosesItsNullsAndCacheFlag)
{
    m_backend.answerRoute("GET", "/install_data/v3/:app",
        ::testing::ServerResponse::text(
            200, R"({"a": null, "b": {"c": null, "d": 1}, "iscache": false})", "application/json"));
    tracker.setDelegate(delegate);
    settle();
    ASSERT_EQ(delegate->received.size(), 1u);
    EXPECT_EQ(delegate->received[0], R"({"b":{"d":1}})");
}

TEST_F(WayfinderConversionDataTest, KeptDataIsDeliveredWithoutAFetchUntilItIsSixtyDaysOld)
{
    Defaults::standard()->setValue("WayfinderConversiondataKey", Dictionary::make({ { "kept", true } }));
    tracker.loadConversionDataWithDelegate(delegate);
    settle();
    EXPECT_EQ(fetches(), 0u);
    EXPECT_EQ(delegate->received, (std::vector<std::string> { R"({"kept":true})" }))
        << "the one who asked hears, though it is not the tracker's delegate";

    Defaults::standard()->setValue(
        "WayfinderConversionDataCacheExpiration", platform::foundation::now().secondsSince1970 - 61 * 86400);
    tracker.loadConversionDataWithDelegate(delegate);
    settle();
    EXPECT_EQ(fetches(), 1u);
    EXPECT_EQ(delegate->received.size(), 2u) << "the kept copy is not delivered first";
    EXPECT_EQ(delegate->received.back(), R"({"install_status":"organic"})");
}

TEST_F(WayfinderConversionDataTest, FiveRefusalsStopTheFetchesUntilANewVersion)
{
    m_backend.failRoute("GET", "/install_data/v3/:app", 404);
    for (int i = 0; i < 6; ++i) {
        tracker.loadConversionDataWithDelegate(delegate);
        settle();
    }
    EXPECT_EQ(fetches(), 5u);
    ASSERT_EQ(delegate->failures.size(), 5u);
    EXPECT_EQ(delegate->failures[0].code(), 404);
    EXPECT_EQ(delegate->failures[0].domain(), WayfinderTracker::kErrorDomain);
    EXPECT_EQ(delegate->failures[0].localizedDescription(),
        "Wayfinder error response from server. Check your Wayfinder key and Apple app ID.");

    m_backend.clearHooks();
    writeInfo("2.0");
    tracker.getVersionUpdateDate("2.0", "today");
    tracker.loadConversionDataWithDelegate(delegate);
    settle();
    EXPECT_EQ(fetches(), 6u);
    EXPECT_EQ(delegate->received.size(), 1u);
}

TEST_F(WayfinderConversionDataTest, RefusalsArrivingAtOnceAreEachCounted)
{
    // As many fetches as the URL session has threads, so that their answers are read at the same time.
    constexpr std::size_t kAtOnce { platform::foundation::DispatchQueue::kDefaultConcurrency };
    m_backend.failRoute("GET", "/install_data/v3/:app", 404);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        Defaults::standard()->remove("WayfinderConversionDataRequestRetries");
        auto before = m_backend.requests().size();
        {
            ::testing::Gate gate;
            m_backend.holdRoute("GET", "/install_data/v3/:app", gate);
            for (std::size_t i = 0; i < kAtOnce; ++i)
                tracker.loadConversionDataWithDelegate(delegate);
            ASSERT_TRUE(m_backend.waitForRequests(before + kAtOnce));
        }
        settle();
        m_backend.clearHooks();
        m_backend.failRoute("GET", "/install_data/v3/:app", 404);
        EXPECT_EQ(Defaults::standard()->integer("WayfinderConversionDataRequestRetries"),
            static_cast<std::int64_t>(kAtOnce));
    }
    EXPECT_EQ(delegate->failures.size(), 20 * kAtOnce);
}

TEST_F(WayfinderConversionDataTest, ServerErrorsAndBadAnswersAreReportedButNotCounted)
{
    struct Case {
        ::testing::ServerResponse response;
        std::int64_t code;
    };
    const std::vector<Case> cases {
        { ::testing::ServerResponse::text(500, "down", "text/plain"), 500 },
        { ::testing::ServerResponse::text(200, "[1]", "application/json"), 0 },
        { ::testing::ServerResponse::text(200, "", "application/json"), 1 },
    };
    for (const auto& c : cases) {
        m_backend.answerRoute("GET", "/install_data/v3/:app", c.response, 1);
        tracker.loadConversionDataWithDelegate(delegate);
        settle();
        ASSERT_FALSE(delegate->failures.empty());
        EXPECT_EQ(delegate->failures.back().code(), c.code);
    }
    m_backend.dropRoute("GET", "/install_data/v3/:app", 1);
    tracker.loadConversionDataWithDelegate(delegate);
    settle();
    ASSERT_EQ(delegate->failures.size(), cases.size() + 1);
    EXPECT_EQ(delegate->failures.back().domain(), platform::http::UrlLoading::kErrorDomain)
        << "a lost answer reaches the one who asked, as the transport's error";
    EXPECT_TRUE(Defaults::standard()->value("WayfinderConversionDataRequestRetries").isNull());
    EXPECT_TRUE(delegate->received.empty());
}

TEST_F(WayfinderConversionDataTest, AWrongKeyIsRefused)
{
    tracker.setWayfinderDevKey("nope");
    tracker.setDelegate(delegate);
    settle();
    ASSERT_EQ(delegate->failures.size(), 1u);
    EXPECT_EQ(delegate->failures[0].code(), 403);
    EXPECT_EQ(Defaults::standard()->integer("WayfinderConversionDataRequestRetries"), 1);
}

}
}
