#include "attribution/tests/TrackerFixture.h"

#include "attribution/WayfinderDebugQueue.h"
#include "attribution/WayfinderUtils.h"

#include "platform/foundation/AdvertisingIdentifierManager.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"

#include <set>
#include <thread>

namespace attribution::test {
namespace {

using platform::foundation::AdvertisingIdentifierManager;
using platform::foundation::Array;
using platform::foundation::Defaults;
using platform::foundation::Dictionary;
using platform::foundation::mainQueue;

class WayfinderTrackerTest : public TrackerFixture {
protected:
    /// Tracks a launch and lets its request arrive.
    void launch()
    {
        tracker.trackAppLaunch();
        mainQueue().advance(WayfinderTracker::kLaunchDelay);
        settle();
    }

    /// The last request's field `name`.
    std::string lastField(const char* name) const
    {
        auto requests = received();
        return requests.empty() ? "(none)" : requests.back().field(name).value_or("(missing)");
    }
};

class RecordingDelegate : public WayfinderTrackerDelegate {
public:
    bool respondsTo(Callback callback) const override { return callback == Callback::AppOpenAttribution; }
    void onAppOpenAttribution(const platform::foundation::DictionaryRef& parameters) override
    {
        opened.push_back(parameters);
    }

    std::vector<platform::foundation::DictionaryRef> opened;
};

TEST_F(WayfinderTrackerTest, AFreshInstallsFirstLaunchDescribesTheInstallAndDevice)
{
    launch();
    auto requests = received();
    ASSERT_EQ(requests.size(), 1u);
    const auto& first = requests.front();
    EXPECT_EQ(first.appId, kAppID);
    EXPECT_EQ(first.buildNumber, "3.0");
    EXPECT_FALSE(first.cached);
    EXPECT_TRUE(first.text.starts_with("uid=" + tracker.getWayfinderUID() + ",")) << first.text;
    EXPECT_EQ(first.field("event"), "Launched");
    EXPECT_EQ(first.field("eventvalue"), "");
    EXPECT_EQ(first.field("counter"), "1");
    EXPECT_EQ(first.field("sessioncounter"), "1");
    EXPECT_EQ(first.field("iaecounter"), "0");
    EXPECT_EQ(first.field("timepassedsincelastlaunch"), "-1.000000");
    EXPECT_EQ(first.field("bundleIdentifier"), "com.zorvik.Zorvik");
    EXPECT_EQ(first.field("bundleversion"), "1.0");
    EXPECT_EQ(first.field("platformextension"), "iOS_Native");
    EXPECT_EQ(first.field("advertiserId"),
        AdvertisingIdentifierManager::sharedManager()->advertisingIdentifier().string());
    EXPECT_EQ(first.field("advertiserIdEnabled"), "true");
    EXPECT_EQ(first.field("wifi"), "NO");
    EXPECT_EQ(first.field("installReceiptData"), std::nullopt) << "the bundle holds no store receipt";
    platform::foundation::DateFormatter dates("yyyy-MM-dd_HHmmZ", "en_US", "Europe/London");
    EXPECT_EQ(first.field("firstLaunchDate"), dates.format(platform::foundation::now()));
    EXPECT_EQ(first.field("date3"), first.field("date2")) << "the first version seen";
    EXPECT_FALSE(first.field("installAttribution")) << "no conversion data yet";
    EXPECT_FALSE(first.field("wf_events_api"));

    auto uid = tracker.getWayfinderUID();
    EXPECT_NE(uid.find('-'), std::string::npos);
    EXPECT_EQ(tracker.getWayfinderUID(), uid) << "kept once made";
}

TEST_F(WayfinderTrackerTest, LaunchesWithinOneAndAHalfSecondsOfTheLastRequestSendNothing)
{
    tracker.setIsDebug(true);
    struct Step {
        double wait;
        std::size_t requests;
    };
    // Requests fall 0.1 s after each launch, and the gap counts between requests: 0.1 s, (1.5 s: 1.4 after
    // the last), 1.61 s, (3.09 s: 1.48 after the last), 3.19 s.
    for (auto [wait, requests] :
        { Step { 0, 1 }, Step { 1.3, 1 }, Step { 0.01, 2 }, Step { 1.38, 2 }, Step { 0, 3 } }) {
        SCOPED_TRACE(wait);
        mainQueue().advance(wait);
        launch();
        EXPECT_EQ(received().size(), requests);
    }
    EXPECT_TRUE(loggedStartingWith("Time from launch 1.4"));
}

TEST_F(WayfinderTrackerTest, EventsCountApartFromLaunches)
{
    tracker.setIsDebug(true);
    launch();
    mainQueue().advance(10);
    tracker.trackEvent("-12.5", "-12.5");
    settle();
    EXPECT_EQ(lastField("event"), "-12.5");
    EXPECT_EQ(lastField("eventvalue"), "-12.5");
    EXPECT_EQ(lastField("counter"), "1");
    EXPECT_EQ(lastField("iaecounter"), "1");
    EXPECT_EQ(lastField("timepassedsincelastlaunch"), "10.002000");
    EXPECT_TRUE(
        logged("Wayfinder: numeric value '-12.5' for event '-12.5' will be categorized as a revenue event."));

    tracker.trackEvent("share", Dictionary::make({ { "a", 1 }, { "b", 2 } }));
    settle();
    EXPECT_EQ(lastField("event"), "share");
    EXPECT_EQ(lastField("eventvalue"), "%7B%22a%22:1%2C%22b%22:2%7D");
    EXPECT_EQ(lastField("wf_events_api"), "1");
    EXPECT_EQ(lastField("iaecounter"), "2");

    tracker.callServerWithEventName(std::nullopt);
    settle();
    EXPECT_EQ(lastField("counter"), "2") << "a request without an event name counts as a launch";
    EXPECT_EQ(lastField("iaecounter"), "2");

    for (const char* value : { "12a", "" }) {
        tracker.trackEvent("level", value);
        EXPECT_FALSE(logged(std::string("Wayfinder: numeric value '") + value
            + "' for event 'level' will be "
              "categorized as a revenue event."));
    }
}

TEST_F(WayfinderTrackerTest, EventsBuiltOnSeveralThreadsAtOnceEachTakeACountOfTheirOwn)
{
    constexpr int kThreads { 8 };
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([this] { tracker.callServerWithEventName("tap"); });
    for (auto& thread : threads)
        thread.join();
    settle();
    std::set<std::string> counts;
    std::set<std::string> identifiers;
    for (const auto& request : received()) {
        counts.insert(request.field("iaecounter").value_or(""));
        identifiers.insert(request.field("uid").value_or(""));
    }
    EXPECT_EQ(counts.size(), static_cast<std::size_t>(kThreads));
    EXPECT_EQ(counts.count(std::to_string(kThreads)), 1u);
    EXPECT_EQ(identifiers.size(), 1u) << "one install, one identifier";
}

TEST_F(WayfinderTrackerTest, TheAdvertisingIdentifierComesFromThePhonesServiceUnlessTurnedOff)
{
    const auto identifier = AdvertisingIdentifierManager::sharedManager()->advertisingIdentifier().string();
    struct Case {
        const char* name;
        bool available;
        bool trackingAllowed;
        bool readingDisabled;
        std::string advertiserId;
        const char* enabled;
    };
    const std::vector<Case> cases {
        { "tracking allowed", true, true, false, identifier, "true" },
        { "tracking not allowed", true, false, false, "00000000-0000-0000-0000-000000000000", "false" },
        { "no service", false, true, false, "", "false" },
        { "reading turned off", true, true, true, "", "false" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AdvertisingIdentifierManager::setAvailable(true);
        AdvertisingIdentifierManager::sharedManager()->setAdvertisingTrackingEnabled(c.trackingAllowed);
        AdvertisingIdentifierManager::setAvailable(c.available);
        tracker.setDisableAppleAdSupportTracking(c.readingDisabled);
        tracker.callServerWithEventName("tap");
        settle();
        EXPECT_EQ(lastField("advertiserId"), c.advertiserId);
        EXPECT_EQ(lastField("advertiserIdEnabled"), c.enabled);
    }
}

TEST_F(WayfinderTrackerTest, TheSettingsShowInTheRequest)
{
    struct Case {
        const char* name;
        std::function<void()> set;
        const char* field;
        std::optional<std::string> value;
    };
    const std::vector<Case> cases {
        { "device name", [&] { tracker.setShouldCollectDeviceName(false); }, "name", std::nullopt },
        { "tracking", [&] { tracker.setDeviceTrackingDisabled(true); }, "deviceTrackingDisabled", "true" },
        { "currency", [&] { tracker.setCurrencyCode("GB"); }, "currency", "GB" },
        { "customer", [&] { tracker.setCustomerUserID("ann-1"); }, "appUID", "ann-1" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        tracker.callServerWithEventName("tap");
        settle();
        ASSERT_FALSE(received().empty());
        EXPECT_EQ(received().back().field(c.field), c.value);
    }
    EXPECT_TRUE(
        logged("Wayfinder WARNING: currency code should be 3 characters!!! 'GB' is not a legal value."));
}

TEST_F(WayfinderTrackerTest, InDiagnosticModeEachRequestAndItsOutcomeIsLogged)
{
    auto& actions = WayfinderDebugQueue::sharedManager();
    actions.setActions(nullptr);
    tracker.setIsAFNightVisionMode(true);
    launch();
    m_backend.dropRoute("POST", "/api/v3/iosevent", 1);
    tracker.callServerWithEventName("tap");
    settle();
    auto logged = actions.actions();
    ASSERT_EQ(logged->size(), 2u) << "the launch and the event; the conversion data the tracker fetched for "
                                     "itself is not logged";
    auto launched = logged->at(0).dictionary();
    EXPECT_EQ(launched->get("name").stringValue(), "Launch");
    EXPECT_EQ(launched->get("status").stringValue(), "success");
    EXPECT_EQ(launched->get("data").stringValue(), received().front().text);
    auto tapped = logged->at(1).dictionary();
    EXPECT_EQ(tapped->get("name").stringValue(), "Event: tap");
    EXPECT_EQ(tapped->get("status").stringValue(), "error");
    actions.setActions(nullptr);
}

TEST_F(WayfinderTrackerTest, WithoutADevKeyNothingIsSentAndNothingCounted)
{
    tracker.setWayfinderDevKey("");
    launch();
    EXPECT_TRUE(received().empty());
    EXPECT_TRUE(logged("Wayfinder dev key is missing"));
    EXPECT_TRUE(Defaults::standard()->value("WayfinderCounter").isNull());
}

TEST_F(WayfinderTrackerTest, AnAppIdWithALetterIsReportedButTheRequestGoesOut)
{
    service()->addApp("12a", kDevKey);
    tracker.setAppleAppID("12a");
    launch();
    EXPECT_TRUE(logged("Wayfinder Error: appleAppID should be a number!"));
    EXPECT_TRUE(logged("appleAppID: '12a'"));
    ASSERT_EQ(received().size(), 1u);
    EXPECT_EQ(received().front().appId, "12a");
}

TEST_F(WayfinderTrackerTest, ADeepLinkRidesOnTheNextLaunchOnlyAndReachesTheDelegate)
{
    auto delegate = std::make_shared<RecordingDelegate>();
    tracker.setDelegate(delegate);
    tracker.handleOpenURL("zorvik://open?wf_deeplink=promo&c=spring", "com.mail");
    launch();
    EXPECT_EQ(lastField("wf_deeplink"), "zorvik://open?wf_deeplink=promo&c=spring");
    EXPECT_EQ(lastField("deeplink_sourceapplication"), "com.mail");
    ASSERT_EQ(delegate->opened.size(), 1u);
    EXPECT_EQ(delegate->opened[0]->get("wf_deeplink").stringValue(), "promo");
    EXPECT_EQ(delegate->opened[0]->get("c").stringValue(), "spring");

    tracker.continueUserActivity("NSUserActivityTypeBrowsingWeb", "https://zorvik.test/invite");
    mainQueue().advance(2);
    launch();
    EXPECT_EQ(lastField("wf_deeplink"), "https://zorvik.test/invite");
    EXPECT_EQ(lastField("deeplink_sourceapplication"), "(missing)");
    ASSERT_EQ(delegate->opened.size(), 2u);
    EXPECT_EQ(delegate->opened[1]->get("link").stringValue(), "https://zorvik.test/invite");

    mainQueue().advance(2);
    launch();
    EXPECT_EQ(lastField("wf_deeplink"), "(missing)");
    EXPECT_EQ(delegate->opened.size(), 2u);
}

TEST_F(WayfinderTrackerTest, EmailsGoLastAsTheCryptTypeAsks)
{
    struct Case {
        std::int32_t cryptType;
        std::string field;
    };
    const std::vector<Case> cases {
        { 0, "plain_el_arr=ann@example.com,bob@example.com" },
        { 2,
            "md5_el_arr=" + WayfinderUtils::md5("ann@example.com") + ","
                + WayfinderUtils::md5("bob@example.com") },
        { 1,
            "sha1_el_arr=" + WayfinderUtils::sha1("ann@example.com") + ","
                + WayfinderUtils::sha1("bob@example.com") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cryptType);
        tracker.setUserEmails(Array::make({ "ann@example.com", "bob@example.com" }), c.cryptType);
        tracker.callServerWithEventName("signed_up");
        settle();
        ASSERT_FALSE(received().empty());
        EXPECT_TRUE(received().back().text.ends_with("," + c.field)) << received().back().text;
    }
}

TEST_F(WayfinderTrackerTest, EachMoveToTheBackgroundIsCountedAndReported)
{
    auto& center = platform::foundation::NotificationCenter::defaultCenter();
    for (int i = 0; i < 2; ++i) {
        center.post(platform::ui::Application::didEnterBackgroundNotification, nullptr);
        settle();
    }
    auto statistics = service()->statistics();
    ASSERT_EQ(statistics.size(), 2u);
    auto value = [&](const std::string& key) {
        for (const auto& [name, text] : statistics.front())
            if (name == key)
                return text;
        return std::string("(missing)");
    };
    EXPECT_EQ(value("app_id"), kAppID);
    EXPECT_EQ(value("devkey"), kDevKey);
    EXPECT_EQ(value("uid"), tracker.getWayfinderUID());
    EXPECT_EQ(value("statType"), "user_closed_app");
    EXPECT_EQ(value("launch_counter"), "0");
    EXPECT_EQ(value("time_in_app"), "1421237") << "no launch yet: seconds since 1970 over 1000";

    launch();
    EXPECT_EQ(lastField("sessioncounter"), "3");
}

TEST_F(WayfinderTrackerTest, ANewAppVersionRecordsItsDateAndClearsTheConversionRetries)
{
    launch();
    auto date3 = lastField("date3");
    Defaults::standard()->setValue("WayfinderDate3", "2014-01-01_0000+0000");
    Defaults::standard()->setValue("WayfinderConversionDataRequestRetries", 5);
    mainQueue().advance(2);
    launch();
    EXPECT_EQ(lastField("date3"), "2014-01-01_0000+0000") << "the same version keeps its date";

    writeInfo("1.1");
    mainQueue().advance(2);
    launch();
    EXPECT_EQ(lastField("date3"), lastField("date2"));
    EXPECT_TRUE(Defaults::standard()->value("WayfinderConversionDataRequestRetries").isNull());
}

}
}
