#include "Zorvik/Models/ReusableTimerObjc.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zorvik::test {
namespace {

using platform::foundation::mainQueue;

class ReusableTimerObjcTest : public ::testing::Test {
protected:
    std::function<void()> note(std::string name)
    {
        return [this, name] { fired += name; };
    }

    std::string fired;
};

TEST_F(ReusableTimerObjcTest, OnlyTheLastOfQuickRestartsRunsOnce)
{
    ReusableTimerObjc timer;
    ReusableTimerProtocolObjc& typingDelay = timer;
    typingDelay.start(0.3, note("a"));
    mainQueue().advance(0.1);
    typingDelay.start(0.3, note("b"));
    mainQueue().advance(0.1);
    typingDelay.start(0.3, note("c"));
    mainQueue().advance(0.29);
    EXPECT_EQ(fired, "");
    mainQueue().advance(0.01);
    EXPECT_EQ(fired, "c");
    mainQueue().advance(5);
    EXPECT_EQ(fired, "c");
    EXPECT_FALSE(timer.timer().isScheduled());
}

TEST_F(ReusableTimerObjcTest, CancelStopsThePendingBlockAndDoesNothingWhenIdle)
{
    ReusableTimerObjc timer;
    timer.cancel();
    timer.start(0.3, note("a"));
    mainQueue().advance(0.2);
    timer.cancel();
    mainQueue().advance(1);
    EXPECT_EQ(fired, "");

    timer.start(0.3, note("b"));
    mainQueue().advance(0.3);
    EXPECT_EQ(fired, "b");
}

TEST_F(ReusableTimerObjcTest, RepeatsUntilCancelledOrStartedAgain)
{
    ReusableTimerObjc timer;
    timer.startWithRepeat(0.3, note("r"));
    mainQueue().advance(1);
    EXPECT_EQ(fired, "rrr");
    timer.start(0.3, note("o"));
    mainQueue().advance(1);
    EXPECT_EQ(fired, "rrro");

    timer.startWithRepeat(0.3, note("r"));
    mainQueue().advance(0.6);
    timer.cancel();
    mainQueue().advance(1);
    EXPECT_EQ(fired, "rrrorr");
}

TEST_F(ReusableTimerObjcTest, NothingRunsOnceTheTimerIsGone)
{
    auto timer = std::make_unique<ReusableTimerObjc>();
    timer->startWithRepeat(0.3, note("r"));
    timer.reset();
    mainQueue().advance(1);
    EXPECT_EQ(fired, "");
}

}
}
