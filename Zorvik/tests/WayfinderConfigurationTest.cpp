#include "Zorvik/Analytics/WayfinderConfiguration.h"
#include "attribution/WayfinderTracker.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/Regex.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

TEST(WayfinderConfigurationTest, GivesTheSharedTrackerItsKeyAndAppId)
{
    auto& tracker = attribution::WayfinderTracker::sharedTracker();
    tracker.reset();
    WayfinderConfiguration::setUp();
    EXPECT_EQ(tracker.wayfinderDevKey(), WayfinderConfiguration::kDevKey);
    EXPECT_EQ(tracker.appleAppID(), WayfinderConfiguration::kAppleAppID);
    EXPECT_EQ(tracker.wayfinderDevKey().size(), 4u);
    EXPECT_TRUE(platform::foundation::Regex("[0-9]{10}").matchesEntirely(tracker.appleAppID()));

    tracker.trackAppLaunch();
    platform::foundation::mainQueue().advance(attribution::WayfinderTracker::kLaunchDelay);
    ASSERT_EQ(tracker.launchReports().size(), 1u);
    EXPECT_EQ(tracker.launchReports()[0].devKey, WayfinderConfiguration::kDevKey);
    EXPECT_EQ(tracker.launchReports()[0].appleAppID, WayfinderConfiguration::kAppleAppID);
    tracker.reset();
}

}
}
