#include "attribution/tests/TrackerFixture.h"

#include "attribution/WayfinderDebugQueue.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"

namespace attribution::test {
namespace {

using platform::foundation::mainQueue;

/// The tracker used as an app uses it, with debug mode off or on.
class WayfinderLoggingTest : public TrackerFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        TrackerFixture::SetUp();
        ASSERT_TRUE(platform::foundation::Files::writeText(
            m_bundle.path() / "receipt", R"({"bundle_id":"com.zorvik.Zorvik","in_app":[]})"));
    }

    /// A first launch (with its install receipt and conversion data), a second activation too soon after
    /// it, a revenue event, a move to the background, a request lost on its way and sent again behind the
    /// next one, a purchase validation and a read of the diagnostic log.
    void useTheTracker()
    {
        tracker.trackAppLaunch();
        mainQueue().advance(WayfinderTracker::kLaunchDelay);
        settle();
        tracker.trackAppLaunch();
        mainQueue().advance(WayfinderTracker::kLaunchDelay);
        settle();
        tracker.trackEvent("purchase", "12.5");
        settle();
        platform::foundation::NotificationCenter::defaultCenter().post(
            platform::ui::Application::didEnterBackgroundNotification, nullptr);
        settle();
        m_backend.dropRoute("POST", "/api/v3/iosevent", 1);
        tracker.callServerWithEventName("offline");
        settle();
        tracker.callServerWithEventName("online");
        settle(WayfinderRequestCache::kReplayDelay);
        settle();
        tracker.validateAndTrackInAppPurchase(
            "pro", "4.99", "GBP", "t-1", {}, [](const auto&) {}, [](const auto&, const auto&) {});
        settle();
        settle();
        WayfinderDebugQueue::sharedManager().getJSONAndClear();
    }

    std::vector<std::string> lines() const
    {
        std::lock_guard lock(m_logMutex);
        return m_log;
    }
};

TEST_P(WayfinderLoggingTest, ProgressIsLoggedOnlyInDebugModeAndFailuresAlways)
{
    const bool debug = GetParam();
    tracker.setIsDebug(debug);
    useTheTracker();
    ASSERT_EQ(received().size(), 5u) << "the launch, the event, the online one, the offline one sent again "
                                        "and the purchase's";

    // The request the network lost is a failure, logged either way.
    EXPECT_TRUE(loggedStartingWith("Wayfinder Connection failed! Error - "));
    for (const char* progress : { "* * * Wayfinder is set to debug mode.",
             "Wayfinder SDK version 3.3.0 started", "Wayfinder: sent information to server",
             "Time from launch ", "Wayfinder: numeric value '12.5'", "Caching request...(cache size: 0)",
             "Cache size 1", "JSON OUTPUT: ", "url = ", "Wayfinder: sending request to server ",
             "JSON: ", "Wayfinder: callServerWithEventName " }) {
        SCOPED_TRACE(progress);
        EXPECT_EQ(loggedStartingWith(progress), debug);
    }
    if (!debug) {
        for (const auto& line : lines())
            EXPECT_TRUE(line.starts_with("Wayfinder Connection failed! Error - ")) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(DebugMode, WayfinderLoggingTest, ::testing::Values(false, true),
    [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "On" : "Off"; });

}
}
