#include "platform/foundation/MainQueue.h"
#include "testing/TemporaryDirectory.h"

#include <cstdlib>
#include <ctime>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>

namespace {

/// Gives every test a main queue of its own: nothing left over from the test
/// before, and a virtual clock standing at its usual start.
class MainQueueReset : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        auto& queue = platform::foundation::mainQueue();
        queue.reset();
        queue.useVirtualClock();
    }

    void OnTestEnd(const testing::TestInfo&) override { platform::foundation::mainQueue().reset(); }
};

}

int main(int argc, char** argv)
{
    // Every test sees a phone set to London time with a neutral locale, however it is run.
    setenv("TZ", "Europe/London", 1);
    setenv("LANG", "C.UTF-8", 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    tzset();
    // The kit platform and the attribution tracker talk to no service unless a test points it at one: a
    // closed loopback port.
    setenv("ZORVIK_KIT_SETTINGS_URL", "http://127.0.0.1:9", 1);
    setenv("ZORVIK_KIT_CONFIGURE_URL", "http://127.0.0.1:9", 1);
    setenv("ZORVIK_WAYFINDER_URL", "http://127.0.0.1:9", 1);
    // A test that sets no device folder of its own gets one of its program's, shared with the children it
    // starts, never the user's: test programs run side by side, and would see each other's files there.
    std::optional<testing::TemporaryDirectory> home;
    if (const char* set = std::getenv("ZORVIK_HOME"); !set || !*set) {
        home.emplace();
        setenv("ZORVIK_HOME", home->path().c_str(), 1);
    }
    testing::InitGoogleMock(&argc, argv);
    platform::foundation::mainQueue().claimMainThread();
    testing::UnitTest::GetInstance()->listeners().Append(new MainQueueReset);
    return RUN_ALL_TESTS();
}
