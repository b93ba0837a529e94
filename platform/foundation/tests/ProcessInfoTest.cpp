#include "platform/foundation/ProcessInfo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace platform::foundation {
namespace {

using namespace std::chrono_literals;

TEST(ProcessInfoTest, TheExitWaitsUntilEveryActivityHasEnded)
{
    auto& info = ProcessInfo::processInfo();
    auto first = info.beginActivity(ProcessInfo::kActivitySuddenTerminationDisabled, "first");
    auto second = info.beginActivity(ProcessInfo::kActivityAutomaticTerminationDisabled, "second");
    EXPECT_NE(first, second);
    EXPECT_EQ(info.activityCount(), 2u);

    std::atomic<bool> waited { false };
    std::thread exiting([&] {
        info.waitUntilActivitiesEnd();
        waited = true;
    });
    info.endActivity(first);
    info.endActivity(first);
    info.endActivity(0);
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(waited) << "one activity is still under way";
    info.endActivity(second);
    exiting.join();
    EXPECT_TRUE(waited);
    EXPECT_EQ(info.activityCount(), 0u);
    info.waitUntilActivitiesEnd();
}

}
}
