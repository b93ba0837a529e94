#include "Zorvik/Analytics/WayfinderConfiguration.h"
#include "attribution/WayfinderTracker.h"
#include "platform/foundation/Regex.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

TEST(WayfinderConfigurationTest, GivesTheSharedTrackerItsKeyAndAppId)
{
    auto& tracker = attribution::WayfinderTracker::sharedTracker();
    tracker.reset();
    WayfinderConfiguration::setUp();
    EXPECT_EQ(tracker.wayfinderDevKey(), WayfinderConfiguration::devKey());
    EXPECT_EQ(tracker.appleAppID(), WayfinderConfiguration::appleAppID());
    EXPECT_EQ(tracker.wayfinderDevKey().size(), 4u);
    EXPECT_TRUE(platform::foundation::Regex("[0-9]{10}").matchesEntirely(tracker.appleAppID()));
    tracker.reset();
}

}
}
