#include "Zorvik/Program/PacedClock.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <chrono>

namespace zorvik::test {
namespace {

using platform::foundation::mainQueue;

/// Dates this far from 1970 carry about a microsecond of rounding.
constexpr double kRounding { 1e-5 };

double realSeconds()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

TEST(PacedClockTest, StartsAtTheComputersTimeRunsWithItAndJumpsWhenAdvanced)
{
    double before = realSeconds();
    PacedClock clock;
    EXPECT_GE(platform::foundation::now().secondsSince1970, before - kRounding);
    EXPECT_LE(platform::foundation::now().secondsSince1970, realSeconds() + kRounding);

    bool fired = false;
    mainQueue().after(0.02, [&] { fired = true; });
    auto start = platform::foundation::now();
    clock.runFor(0.05);
    EXPECT_TRUE(fired) << "timers fire as real time passes";
    EXPECT_GE(platform::foundation::now().secondsSince(start), 0.05 - kRounding);

    mainQueue().advance(660);
    EXPECT_GE(platform::foundation::now().secondsSince(start), 660.05 - kRounding)
        << "an absence moves the clock on at once";
}

}
}
