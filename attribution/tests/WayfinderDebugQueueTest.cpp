#include "attribution/WayfinderDebugQueue.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

namespace attribution::test {
namespace {

using platform::foundation::Value;

TEST(WayfinderDebugQueueTest, EntriesCarryTheirOutcomeUntilTheLogIsRead)
{
    auto& log = WayfinderDebugQueue::sharedManager();
    log.setActions(nullptr);
    auto first = log.logWithName("Launch", Value("uid=1,"));
    auto second = log.logWithName("Event: x", Value("uid=1,"));
    EXPECT_EQ(second, first + 1);

    platform::foundation::mainQueue().advance(3);
    log.updateActionSuccess(first);
    log.updateAction(second, platform::foundation::Error::withDescription("test", 1, "offline"));
    log.updateActionSuccess(-1);
    auto actions = log.actions();
    ASSERT_EQ(actions->size(), 2u);
    auto launch = actions->at(0).dictionary();
    EXPECT_EQ(launch->get("name"), Value("Launch"));
    EXPECT_EQ(launch->get("time"), Value("12:00:00"));
    EXPECT_EQ(launch->get("status"), Value("success"));
    EXPECT_EQ(launch->get("roundTrip").doubleValue(), 3);
    auto event = actions->at(1).dictionary();
    EXPECT_EQ(event->get("status"), Value("error"));
    EXPECT_EQ(event->get("error"), Value("offline"));

    auto text = log.getJSONAndClear();
    EXPECT_TRUE(text.starts_with("%7B%22actions%22:[%7B")) << text;
    EXPECT_TRUE(log.actions()->empty());
}

}
}
