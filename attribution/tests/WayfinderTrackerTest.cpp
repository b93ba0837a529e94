#include "attribution/WayfinderTracker.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

namespace attribution::test {
namespace {

using platform::foundation::mainQueue;

class WayfinderTrackerTest : public ::testing::Test {
protected:
    void SetUp() override { tracker.reset(); }
    void TearDown() override { tracker.reset(); }

    WayfinderTracker& tracker { WayfinderTracker::sharedTracker() };
};

TEST_F(WayfinderTrackerTest, IsOneTrackerKeepingItsSettings)
{
    EXPECT_EQ(&WayfinderTracker::sharedTracker(), &tracker);
    tracker.setWayfinderDevKey("k3Y9");
    tracker.setAppleAppID("1234567890");
    EXPECT_EQ(WayfinderTracker::sharedTracker().wayfinderDevKey(), "k3Y9");
    EXPECT_EQ(WayfinderTracker::sharedTracker().appleAppID(), "1234567890");
}

TEST_F(WayfinderTrackerTest, ReportsALaunchAfterADelayWithTheSettingsOfThatMoment)
{
    tracker.setWayfinderDevKey("k3Y9");
    tracker.setAppleAppID("1234567890");
    auto start = platform::foundation::now();
    tracker.trackAppLaunch();
    mainQueue().advance(0.09);
    EXPECT_TRUE(tracker.launchReports().empty());
    mainQueue().advance(0.01);
    ASSERT_EQ(tracker.launchReports().size(), 1u);
    EXPECT_EQ(tracker.launchReports()[0],
        (LaunchReport { "Launched", "k3Y9", "1234567890", start.addingSeconds(0.1) }));
}

TEST_F(WayfinderTrackerTest, ALaunchWithinOneAndAHalfSecondsOfTheLastReportIsNotReported)
{
    struct Step {
        double wait;
        std::size_t reports;
    };
    // Each launch is reported 0.1 s after it is tracked and the gap counts between reports: the reports
    // fall at 0.1 s, (1.5 s: 1.4 after the last), 1.61 s, (3.09 s: 1.48 after the last) and 3.19 s.
    for (auto [wait, reports] :
        { Step { 0, 1 }, Step { 1.3, 1 }, Step { 0.01, 2 }, Step { 1.38, 2 }, Step { 0, 3 } }) {
        SCOPED_TRACE(wait);
        mainQueue().advance(wait);
        tracker.trackAppLaunch();
        mainQueue().advance(WayfinderTracker::kLaunchDelay);
        EXPECT_EQ(tracker.launchReports().size(), reports);
    }
}

}
}
