// The kits' queues keep working while the process exits: an upload's answer or the settings arriving
// during exit still reads the folders, the defaults and the kits themselves. None of that shared state may
// be destroyed under them.

#include "kit/analytics/Tally.h"
#include "kit/core/CRNKitRegistry.h"
#include "kit/core/Cairn.h"
#include "kit/core/EMBUserDefaults.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/Files.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace kit {
namespace {

using namespace std::chrono_literals;

// Reads the shared state from another thread, as a kit queue does, and exits while it goes on.
TEST(ProcessExitChild, DISABLED_ExitsWhileAQueueReadsTheSharedState)
{
    std::atomic<bool> reading { false };
    std::thread([&reading] {
        for (;;) {
            platform::foundation::Files::homeDirectory();
            platform::foundation::Defaults::standard();
            platform::foundation::Bundle::main();
            EMBUserDefaults::standardUserDefaults();
            CRNKitRegistry::shared().classNamed("Tally");
            Cairn::sharedSDK().executionIdentifier();
            Tally::sharedInstance()->analyticsController();
            reading = true;
        }
    }).detach();
    while (!reading)
        std::this_thread::yield();
    std::exit(0);
}

TEST(ProcessExit, AQueueAtWorkWhileTheProcessExitsReadsNothingDestroyed)
{
    char self[PATH_MAX] {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    ::testing::TemporaryDirectory home;
    for (int round = 0; round < 3; ++round) {
        // The sanitizer's report goes to standard error, and the exit may end the process before the
        // sanitizer sets its status: read the report.
        ::testing::ChildProcess child({ "/bin/sh", "-c",
            "exec env ZORVIK_HOME=\"$0\" ASAN_OPTIONS=detect_leaks=0 \"$1\" --gtest_also_run_disabled_tests "
            "--gtest_filter=ProcessExitChild.DISABLED_ExitsWhileAQueueReadsTheSharedState 2>&1",
            home.path().string(), self });
        auto output = child.readAll(30s);
        EXPECT_EQ(child.wait(30s), 0) << output;
        EXPECT_EQ(output.find("Sanitizer"), std::string::npos) << output;
    }
}

}
}
