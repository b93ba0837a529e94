#include "kit/crash/capture/EMBContext.h"

#include "kit/crash/capture/EMBHandler.h"
#include "kit/crash/capture/EMBProfiling.h"
#include "kit/crash/capture/EMBSignal.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "platform/foundation/Files.h"
#include "testing/AllocationTrap.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace kit {
namespace {

using namespace std::chrono_literals;
using testing::CaptureScenarioRegistration;
using testing::readRecords;
using testing::startCaptureChild;

// The child's side.

__attribute__((noinline, no_sanitize_undefined)) void fault()
{
    ::testing::AllocationTrap::arm();
    *static_cast<volatile int*>(nullptr) = 1;
}

const CaptureScenarioRegistration handlers("handlers", [] {
    struct sigaction action { };
    sigaction(SIGSEGV, nullptr, &action);
    bool ours = (action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == EMBSignalHandler;
    testing::say(ours ? "handler: ours" : "handler: none");
    testing::say(std::get_terminate() == std::terminate_handler(nullptr) ? "" : "terminate handler set");
    testing::say(EMBContextIsInitialized() ? "initialised" : "not initialised");
    std::exit(0);
});

void otherHandler(int)
{
}

[[noreturn]] void otherTerminate()
{
    std::abort();
}

const CaptureScenarioRegistration checks("checks", [] {
    EMBContextCheckHandlers();
    testing::say("all ours");
    signal(SIGBUS, otherHandler);
    std::set_terminate(otherTerminate);
    // The warnings go to standard error: hand them to the parent with the rest.
    dup2(STDOUT_FILENO, STDERR_FILENO);
    EMBContextCheckHandlers();
    testing::say("checked");
    std::exit(0);
});

class CallbackTarget : public EMBCrashCallbackTarget {
public:
    void deliverCrashDelegateCallback() override
    {
        const char line[] = "scenario: crash callback ran\n";
        (void)!write(STDOUT_FILENO, line, sizeof line - 1);
    }
};

const CaptureScenarioRegistration callback("callback", fault, [] {
    static CallbackTarget target;
    testing::captureParameters().crashCallbackTarget = &target;
});

// The parent's side.

class EMBContextTest : public ::testing::Test {
protected:
    std::filesystem::path file(const char* name) const { return m_folder.path() / name; }
    std::string text(const char* name) const
    {
        return platform::foundation::Files::readText(file(name)).value_or("");
    }

    ::testing::TemporaryDirectory m_folder;
};

TEST_F(EMBContextTest, SetUpWritesTheMetadataAndInstallsTheHandlers)
{
    auto child = startCaptureChild("handlers", m_folder.path());
    EXPECT_EQ(testing::scenarioOutput(*child), "handler: ours\nterminate handler set\ninitialised\n");
    EXPECT_EQ(child->wait(testing::kCaptureChildLimit), 0);

    auto metadata = readRecords(file("metadata.embrecord"));
    ASSERT_EQ(metadata.size(), 4u);
    const auto& identity = metadata[0]["identity"];
    EXPECT_EQ(identity["generator"], "Ember iOS SDK/3.7.0");
    EXPECT_EQ(identity["api_key"], "0123456789abcdef0123456789abcdef01234567");
    EXPECT_EQ(identity["session_id"], "7d3c2a10b1e44c5f9c8e2f6a5b4d3c21");
    EXPECT_EQ(identity["install_id"], "0C4F5C8E-6B1D-4F7A-9E2B-3A1D5C7E9F00");
    EXPECT_TRUE(identity["beta_token"].is_null());
    EXPECT_NEAR(identity["started_at"].get<double>(), double(std::time(nullptr)), 30);
    EXPECT_EQ(metadata[1]["host"]["platform"], "ios");
    EXPECT_TRUE(metadata[2].contains("application"));
    EXPECT_TRUE(metadata[2]["application"]["extension_id"].is_null());
    EXPECT_EQ(metadata[3]["executable"]["architecture"], "x86_64");
    EXPECT_FALSE(readRecords(file("binary_images.embrecord")).empty());
    EXPECT_FALSE(std::filesystem::exists(file("signal.embrecord")));
    EXPECT_NE(
        text("sdk.log").find("EMBAllocatorCreate: Allocator successfully created 0x"), std::string::npos)
        << text("sdk.log");
}

TEST_F(EMBContextTest, StaleRecordsOfTheDirectoryAreRemovedAtStart)
{
    for (const char* name :
        { "signal.embrecord", "exception.embrecord", "mach_exception.embrecord", "sdk.log" })
        platform::foundation::Files::writeText(file(name), "{\"stale\":{}}\n");
    auto child = startCaptureChild("handlers", m_folder.path());
    EXPECT_EQ(child->wait(testing::kCaptureChildLimit), 0);
    for (const char* name : { "signal.embrecord", "exception.embrecord", "mach_exception.embrecord" })
        EXPECT_FALSE(std::filesystem::exists(file(name))) << name;
    EXPECT_EQ(text("sdk.log").find("stale"), std::string::npos);
}

TEST_F(EMBContextTest, UnderADebuggerNoHandlerIsInstalledAndTheLogSaysSo)
{
    auto child = startCaptureChild("handlers", m_folder.path(), { .underDebugger = true });
    std::string output = testing::scenarioOutput(*child);
    EXPECT_NE(output.find("handler: none\n"), std::string::npos) << output;
    EXPECT_NE(output.find("initialised\n"), std::string::npos) << output;
    EXPECT_NE(text("sdk.log").find("EMBContextInitialize: Debugger present - not installing handlers\n"),
        std::string::npos)
        << text("sdk.log");
    EXPECT_EQ(readRecords(file("metadata.embrecord")).size(), 4u) << "the metadata is written all the same";
}

TEST_F(EMBContextTest, TheCrashCallbackRunsOnTheCrashingThreadAtTheEnd)
{
    auto child = startCaptureChild("callback", m_folder.path());
    EXPECT_EQ(testing::scenarioOutput(*child), "crash callback ran\n");
    EXPECT_EQ(child->deathSignal(testing::kCaptureChildLimit), SIGSEGV);
    EXPECT_NE(text("sdk.log").find("Performing syncrhonous crash callback"), std::string::npos);
}

TEST_F(EMBContextTest, HandlerChecksWarnOfHandlersThatAreNotCaptures)
{
    auto child = startCaptureChild("checks", m_folder.path());
    std::string all = child->readAll(testing::kCaptureChildLimit);
    auto said = all.find("scenario: all ours\n");
    ASSERT_NE(said, std::string::npos) << all;
    EXPECT_EQ(all.find("[Ember"), all.find("[Ember", said)) << "no warning while every handler is ours";
    EXPECT_NE(
        all.find("[Ember] The signal SIGBUS has a non-Ember handler (unknown).  This will interfer with "
                 "reporting.\n"),
        std::string::npos)
        << all;
    EXPECT_EQ(all.find("The signal SIGSEGV"), std::string::npos);
    EXPECT_NE(all.find("[Ember:Crash] Warning: std::get_terminate is 'unknown' in '"), std::string::npos)
        << all;
}

TEST_F(EMBContextTest, UnderADebuggerTheHandlerChecksStayQuiet)
{
    auto child = startCaptureChild("checks", m_folder.path(), { .underDebugger = true });
    std::string all = child->readAll(testing::kCaptureChildLimit);
    ASSERT_NE(all.find("scenario: checked\n"), std::string::npos) << all;
    EXPECT_EQ(all.find("[Ember"), std::string::npos) << "capture installed nothing to check: " << all;
}

// The mapping's lines in /proc/self/maps from `start` on, as their permissions.
std::vector<std::string> permissionsFrom(const void* start, std::size_t count)
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    std::vector<std::string> found;
    auto address = reinterpret_cast<std::uintptr_t>(start);
    while (std::getline(maps, line) && found.size() < count) {
        std::uintptr_t low = std::stoull(line.substr(0, line.find('-')), nullptr, 16);
        if (low >= address)
            found.push_back(line.substr(line.find(' ') + 1, 4));
    }
    return found;
}

TEST(EMBAllocator, RegionsLieBetweenGuardPagesAndTheProtectedOneIsSealed)
{
    EMBAllocator* allocator = EMBAllocatorCreate(10000, 3000);
    ASSERT_NE(allocator, nullptr);
    long page = sysconf(_SC_PAGESIZE);
    EXPECT_EQ(allocator->writable.size, 3u * std::size_t(page));
    EXPECT_EQ(allocator->protectedRegion.start, allocator->writable.start + allocator->writable.size + page);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(allocator), allocator->protectedRegion.start)
        << "the record is the protected region's first allocation";
    EXPECT_EQ(permissionsFrom(allocator->mappingStart, 5),
        (std::vector<std::string> { "---p", "rw-p", "---p", "rw-p", "---p" }));

    auto* first = static_cast<char*>(EMBAllocatorSafeAllocate(allocator, 5, 1));
    auto* second = static_cast<char*>(EMBAllocatorSafeAllocate(allocator, 5, 1));
    EXPECT_TRUE(EMBAllocatorContains(allocator, first));
    EXPECT_EQ(second - first, 16) << "allocations are 16-byte aligned";
    EXPECT_EQ(EMBAllocatorSafeAllocate(allocator, 8, 7), nullptr) << "no such kind";

    void* tooBig = EMBAllocatorSafeAllocate(allocator, 1 << 20, 1);
    ASSERT_NE(tooBig, nullptr);
    EXPECT_FALSE(EMBAllocatorContains(allocator, tooBig)) << "beyond the region: from the heap";
    std::memset(tooBig, 1, 1 << 20);
    EMBAllocatorFree(allocator, tooBig);

    ASSERT_TRUE(EMBAllocatorProtect(allocator));
    EXPECT_TRUE(EMBAllocatorProtect(allocator)) << "a second time is no error";
    EXPECT_EQ(permissionsFrom(allocator->mappingStart, 5)[3], "r--p");
    void* late = EMBAllocatorSafeAllocate(allocator, 32, 0);
    EXPECT_FALSE(EMBAllocatorContains(allocator, late)) << "once sealed: from the heap";
    EMBAllocatorFree(allocator, late);

    ASSERT_TRUE(EMBAllocatorUnprotect(allocator));
    EXPECT_TRUE(EMBAllocatorContains(allocator, EMBAllocatorSafeAllocate(allocator, 32, 0)));
    EMBAllocatorDestroy(allocator);
    EXPECT_FALSE(EMBAllocatorProtect(nullptr));
}

TEST(EMBAllocator, ThreadsAllocatingTogetherGetDisjointBlocks)
{
    EMBAllocator* allocator = EMBAllocatorCreate(64 * 1024, 0);
    ASSERT_NE(allocator, nullptr);
    std::vector<std::vector<char*>> taken(8);
    std::vector<std::thread> threads;
    for (auto& blocks : taken) {
        threads.emplace_back([&blocks, allocator] {
            for (int i = 0; i < 100; ++i)
                blocks.push_back(static_cast<char*>(EMBAllocatorSafeAllocate(allocator, 48, 1)));
        });
    }
    for (auto& thread : threads)
        thread.join();
    std::vector<char*> all;
    for (auto& blocks : taken)
        all.insert(all.end(), blocks.begin(), blocks.end());
    std::sort(all.begin(), all.end());
    for (std::size_t i = 1; i < all.size(); ++i)
        ASSERT_GE(all[i] - all[i - 1], 48);
    EMBAllocatorDestroy(allocator);
}

TEST(EMBContext, DuplicatesStringsOnlyWithAContextAndAnswersNothingBefore)
{
    EXPECT_EQ(EMBDupString(nullptr), nullptr);
    EXPECT_FALSE(EMBContextIsInitialized());
    EXPECT_FALSE(EMBContextMarkAndCheckIfCrashed()) << "nothing to mark without a context";
    EXPECT_FALSE(EMBContextHasCrashed());
    const char* copy = EMBDupString("Caches/com.ember.data");
    EXPECT_STREQ(copy, "Caches/com.ember.data");
    EMBAllocatorFree(nullptr, const_cast<char*>(copy));

    ASSERT_TRUE(EMBContextBaseInit());
    const char* kept = EMBDupString("signal.embrecord");
    EXPECT_TRUE(EMBAllocatorContains(EMBCurrentContext().allocator, kept));
    EXPECT_FALSE(EMBContextMarkAndCheckIfCrashed()) << "the first fault wins";
    EXPECT_TRUE(EMBContextMarkAndCheckIfCrashed()) << "a second one is told a crash is recorded";
    EXPECT_EQ(EMBCurrentContext().writable->crashingThread, gettid());
    EMBContextBaseDeinit();
    EXPECT_EQ(EMBCurrentContext().readOnly.load(), nullptr);
}

TEST(EMBHandler, LooksUpCodeAddressesThroughTheLoader)
{
    std::string symbol;
    std::string image;
    EMBLookupFunctionPointer(reinterpret_cast<const void*>(&abort), [&](const char* s, const char* i) {
        symbol = s != nullptr ? s : "(none)";
        image = i != nullptr ? i : "(none)";
    });
    EXPECT_EQ(symbol, "abort");
    EXPECT_NE(image.find("libc.so"), std::string::npos) << image;

    int local = 0;
    bool bothNone = false;
    EMBLookupFunctionPointer(
        &local, [&](const char* s, const char* i) { bothNone = s == nullptr && i == nullptr; });
    EXPECT_TRUE(bothNone) << "a stack address lies in no image";
}

TEST(EMBProfiling, MeasuresMillisecondsOnTheMonotonicClock)
{
    std::uint64_t mark = EMBProfilingStart();
    std::this_thread::sleep_for(20ms);
    double elapsed = EMBProfileEnd(mark);
    EXPECT_GE(elapsed, 20.0);
    EXPECT_LT(elapsed, 5000.0);
    bool ran = false;
    ::testing::internal::CaptureStderr();
    EMBProfileBlock("set-up", [&] { ran = true; });
    std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(ran);
    EXPECT_EQ(printed.rfind("[Profile] set-up: ", 0), 0u) << printed;
    EXPECT_TRUE(printed.ends_with(" ms\n")) << printed;
}

}
}
