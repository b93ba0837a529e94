#include "kit/crash/capture/EMBSignal.h"

#include "kit/crash/capture/EMBContext.h"
#include "kit/crash/capture/EMBFileReader.h"
#include "kit/crash/capture/EMBMachException.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/DispatchQueue.h"
#include "testing/AllocationTrap.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <barrier>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

namespace kit {
namespace {

using testing::CaptureScenarioRegistration;
using testing::readRecords;
using testing::startCaptureChild;

// The child's side. Each scenario arms the allocation trap on the thread that faults, right before the
// fault: from there on the handler may not touch the heap.

void sayAddress(const char* what, const void* address)
{
    testing::say(std::string(what) + " " + std::to_string(reinterpret_cast<std::uintptr_t>(address)));
}

// The undefined-behaviour checks stay out of the way: the hardware is meant to see these faults.
__attribute__((noinline, no_sanitize_undefined)) void dereference(volatile int* pointer, int depth)
{
    if (depth > 1) {
        dereference(pointer, depth - 1);
        asm volatile("" ::: "memory");
        return;
    }
    ::testing::AllocationTrap::arm();
    *pointer = 1;
}

__attribute__((noinline, no_sanitize_undefined)) int divide(int by)
{
    volatile int divisor = by;
    ::testing::AllocationTrap::arm();
    return 100 / divisor;
}

// Recurses until the stack runs out (the depth never reaches its bound).
__attribute__((noinline, no_sanitize_undefined)) int overflow(int depth)
{
    volatile char frame[1024];
    frame[0] = char(depth);
    if (depth == 64)
        ::testing::AllocationTrap::arm();
    if (depth == INT32_MAX)
        return 0;
    return overflow(depth + 1) + frame[0];
}

const CaptureScenarioRegistration segv("segv", [] { dereference(nullptr, 5); });
const CaptureScenarioRegistration abortion("abort", [] {
    ::testing::AllocationTrap::arm();
    std::abort();
});
const CaptureScenarioRegistration bus("bus", [] {
    // A file mapped past its end: the page beyond the file's last byte has nothing behind it.
    char path[] = "/tmp/zorvik-bus-XXXXXX";
    int fd = mkstemp(path);
    unlink(path);
    long page = sysconf(_SC_PAGESIZE);
    if (fd < 0 || ftruncate(fd, page) != 0)
        std::exit(2);
    auto* mapping = static_cast<volatile char*>(mmap(nullptr, 2 * page, PROT_READ, MAP_SHARED, fd, 0));
    sayAddress("address", const_cast<char*>(mapping) + page);
    ::testing::AllocationTrap::arm();
    std::exit(mapping[page]);
});
const CaptureScenarioRegistration fpe("fpe", [] {
    sayAddress("function", reinterpret_cast<const void*>(&divide));
    std::exit(divide(0));
});
const CaptureScenarioRegistration ill("ill", [] {
    ::testing::AllocationTrap::arm();
    __builtin_trap();
});
const CaptureScenarioRegistration trap("trap", [] {
    ::testing::AllocationTrap::arm();
    asm volatile("int3");
    testing::say("went on after the breakpoint");
    std::exit(0);
});
const CaptureScenarioRegistration overflowMain("overflow-main", [] { std::exit(overflow(0)); });
const CaptureScenarioRegistration overflowQueue("overflow-queue", [] {
    platform::foundation::DispatchQueue queue("com.zorvik.overflowing");
    queue.async([] { std::exit(overflow(0)); });
    pause();
});
const CaptureScenarioRegistration twoThreads("two-threads", [] {
    std::barrier start(2);
    auto fault = [&start] {
        start.arrive_and_wait();
        dereference(nullptr, 3);
    };
    std::thread other(fault);
    fault();
    other.join();
});
// Twenty threads parked in a blocking call, one of them named with a quote, and a queue thread that faults.
const CaptureScenarioRegistration worker("worker", [] {
    static std::barrier parked(21);
    static std::vector<std::thread> threads;
    for (int index = 0; index < 20; ++index) {
        threads.emplace_back([index] {
            if (index == 7)
                pthread_setname_np(pthread_self(), "say \"cheese\"");
            parked.arrive_and_wait();
            for (;;)
                pause();
        });
    }
    parked.arrive_and_wait();
    static platform::foundation::DispatchQueue queue("com.zorvik.faulting");
    queue.async([] {
        testing::say("crashing " + std::to_string(gettid()));
        std::size_t tasks = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
            ++tasks;
        testing::say("threads " + std::to_string(tasks));
        dereference(nullptr, 2);
    });
    for (;;)
        pause();
});

const CaptureScenarioRegistration sent("sent", [] {
    testing::say("ready");
    ::testing::AllocationTrap::arm();
    for (;;)
        pause();
});

const CaptureScenarioRegistration faultOnGo("fault-on-go", [] {
    testing::say("ready");
    char go = 0;
    (void)!read(STDIN_FILENO, &go, 1);
    dereference(nullptr, 4);
});

// A handler the program had before capture: it says so and lets the fault take its default course.
void earlierHandler(int)
{
    const char line[] = "scenario: earlier handler ran\n";
    (void)!write(STDOUT_FILENO, line, sizeof line - 1);
    signal(SIGSEGV, SIG_DFL);
}

const CaptureScenarioRegistration chained(
    "chained", [] { dereference(nullptr, 2); }, [] { signal(SIGSEGV, earlierHandler); });

// The parent's side.

class EMBSignalTest : public ::testing::Test {
protected:
    std::filesystem::path signalFile() const { return m_folder.path() / "signal.embrecord"; }

    /// Runs `scenario` in a child and answers the signal it died by (0 when it did not die by one).
    int run(const std::string& scenario)
    {
        m_child = startCaptureChild(scenario, m_folder.path());
        return m_child->deathSignal(testing::kCaptureChildLimit).value_or(0);
    }

    /// The "signal" object of the report, or null when there is none.
    nlohmann::json signalRecord() const
    {
        auto records = readRecords(signalFile());
        return !records.empty() && records.front().contains("signal") ? records.front()["signal"] : nullptr;
    }

    ::testing::TemporaryDirectory m_folder;
    std::unique_ptr<::testing::ChildProcess> m_child;
};

TEST_F(EMBSignalTest, EachFaultIsRecordedAndEndsTheProcessByItsSignal)
{
    struct Case {
        const char* scenario;
        int signal;
        const char* name;
        /// The expected code; for a stack overflow either of the two a bad access can give.
        int code;
    };
    constexpr int kAnyAccess = -1000;
    const Case cases[] {
        { "segv", SIGSEGV, "SIGSEGV", SEGV_MAPERR },
        { "abort", SIGABRT, "SIGABRT", SI_TKILL },
        { "bus", SIGBUS, "SIGBUS", BUS_ADRERR },
        { "fpe", SIGFPE, "SIGFPE", FPE_INTDIV },
        { "ill", SIGILL, "SIGILL", ILL_ILLOPN },
        { "trap", SIGTRAP, "SIGTRAP", SI_KERNEL },
        { "overflow-main", SIGSEGV, "SIGSEGV", kAnyAccess },
        { "overflow-queue", SIGSEGV, "SIGSEGV", kAnyAccess },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        std::filesystem::remove(signalFile());
        EXPECT_EQ(run(c.scenario), c.signal);
        nlohmann::json record = signalRecord();
        ASSERT_TRUE(record.is_object()) << "no signal record";
        EXPECT_EQ(record["number"], c.signal);
        EXPECT_EQ(record["name"], c.name);
        if (c.code == kAnyAccess) {
            EXPECT_TRUE(record["code"] == SEGV_MAPERR || record["code"] == SEGV_ACCERR) << record["code"];
        } else {
            EXPECT_EQ(record["code"], c.code);
        }
        EXPECT_EQ(record["code_name"], c.signal == SIGABRT ? nlohmann::json("ABORT") : nlohmann::json());
        EXPECT_TRUE(record["time"].is_number_unsigned());
        auto records = readRecords(signalFile());
        ASSERT_GE(records.size(), 2u);
        EXPECT_TRUE(records[1].contains("threads")) << "the fault path's records follow";
        std::vector<std::string> names;
        for (const auto& each : records)
            names.push_back(each.begin().key());
        EXPECT_EQ(names, (std::vector<std::string> { "signal", "threads", "runtime", "dispatch_queue_names",
                             "thread_names", "process_stats", "storage" }));
        std::size_t crashed = 0;
        for (const auto& thread : records[1]["threads"])
            crashed += thread.value("crashed", false) ? 1 : 0;
        EXPECT_EQ(crashed, 1u);
        nlohmann::json thread = testing::crashedThread(records);
        ASSERT_TRUE(thread.is_object());
        ASSERT_FALSE(thread["stacktrace"].empty());
        EXPECT_TRUE(record["errno"].is_number());
        auto output = testing::scenarioOutput(*m_child);
        std::uint64_t address = record["address"];
        if (std::string(c.scenario) == "segv") {
            EXPECT_EQ(address, 0u);
            // The five nested calls, found by their place in this same program.
            Dl_info here {};
            ASSERT_NE(dladdr(reinterpret_cast<const void*>(&dereference), &here), 0);
            auto start = reinterpret_cast<std::uint64_t>(&dereference)
                - reinterpret_cast<std::uint64_t>(here.dli_fbase);
            std::string program = std::filesystem::read_symlink("/proc/self/exe");
            int nested = 0;
            for (std::uint64_t pc : thread["stacktrace"]) {
                std::uint64_t offset = 0;
                std::string image = testing::imageHolding(m_folder.path(), pc, &offset);
                nested += image == program && offset >= start && offset < start + 0x400 ? 1 : 0;
            }
            EXPECT_GE(nested, 5) << thread["stacktrace"].dump();
            const auto& stack = thread["stacktrace"];
            ASSERT_GE(stack.size(), 5u);
            for (std::size_t depth = 2; depth < 5; ++depth)
                EXPECT_EQ(stack[depth], stack[1]) << "each level returns into the same call";
        }
        if (std::string(c.scenario) == "abort") {
            std::vector<std::string> images;
            for (std::uint64_t pc : thread["stacktrace"])
                images.push_back(testing::imageHolding(m_folder.path(), pc, nullptr));
            ASSERT_FALSE(images.empty());
            EXPECT_NE(images.front().find("libc.so"), std::string::npos) << "it faulted in the C library";
            EXPECT_TRUE(std::any_of(images.begin(), images.end(), [](const std::string& image) {
                return image.find("kit_crash_capture_tests") != std::string::npos;
            })) << "and was called from the program";
        }
        if (std::string(c.scenario) == "bus") {
            EXPECT_EQ(output, "address " + std::to_string(address) + "\n");
        }
        if (std::string(c.scenario) == "fpe") {
            std::uint64_t function = std::stoull(output.substr(output.find(' ') + 1));
            EXPECT_GE(address, function);
            EXPECT_LT(address, function + 256) << "the address is the faulting instruction's";
        }
        if (std::string(c.scenario) == "trap") {
            EXPECT_EQ(output, "") << "a breakpoint does not recur on return: it is raised again";
        }
    }
}

TEST_F(EMBSignalTest, ASentSignalIsRecordedAndRaisedAgain)
{
    for (int number : { SIGSEGV, SIGBUS, SIGILL }) {
        SCOPED_TRACE(number);
        std::filesystem::remove(signalFile());
        m_child = startCaptureChild("sent", m_folder.path());
        ASSERT_EQ(testing::scenarioLine(*m_child), "ready");
        m_child->signal(number);
        EXPECT_EQ(m_child->deathSignal(testing::kCaptureChildLimit), number);
        nlohmann::json record = signalRecord();
        ASSERT_TRUE(record.is_object());
        EXPECT_EQ(record["number"], number);
        EXPECT_EQ(record["code"], SI_USER);
    }
}

TEST_F(EMBSignalTest, TwoThreadsFaultingAtOnceGiveOneWholeReport)
{
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        std::filesystem::remove(signalFile());
        EXPECT_EQ(run("two-threads"), SIGSEGV);
        auto records = readRecords(signalFile());
        ASSERT_FALSE(records.empty());
        std::size_t signals = 0;
        for (const auto& record : records)
            signals += record.contains("signal") ? 1 : 0;
        EXPECT_EQ(signals, 1u) << "the second fault waits for the first report";
    }
}

TEST_F(EMBSignalTest, ACrashOnAWorkerRecordsEveryThreadOnce)
{
    EXPECT_EQ(run("worker"), SIGSEGV);
    std::istringstream said(testing::scenarioOutput(*m_child));
    std::string word;
    long crashing = 0;
    std::size_t tasks = 0;
    said >> word >> crashing >> word >> tasks;
    ASSERT_GT(tasks, 21u) << "the main thread, twenty parked ones, the queue's and capture's own";

    auto records = readRecords(signalFile());
    ASSERT_GE(records.size(), 2u);
    const auto& threads = records[1]["threads"];
    EXPECT_EQ(threads.size(), tasks) << "each thread of the task once";
    std::size_t crashed = 0;
    std::size_t withStacks = 0;
    for (const auto& thread : threads) {
        crashed += thread.value("crashed", false) ? 1 : 0;
        withStacks += thread["stacktrace"].empty() ? 0 : 1;
    }
    EXPECT_EQ(crashed, 1u);
    EXPECT_EQ(withStacks, tasks) << "every parked thread answered and was walked";
    ASSERT_GE(records.size(), 5u);
    const auto& queues = records[3]["dispatch_queue_names"];
    const auto& names = records[4]["thread_names"];
    ASSERT_EQ(names.size(), tasks);
    ASSERT_EQ(queues.size(), tasks);
    EXPECT_EQ(std::count(names.begin(), names.end(), "say \"cheese\""), 1) << names.dump();
    for (std::size_t index = 0; index < tasks; ++index) {
        if (threads[index].value("crashed", false)) {
            EXPECT_EQ(queues[index], "com.zorvik.faulting");
        }
    }
}

TEST_F(EMBSignalTest, TheHandlerInstalledBeforeRunsAfterTheReport)
{
    EXPECT_EQ(run("chained"), SIGSEGV);
    EXPECT_EQ(testing::scenarioOutput(*m_child), "earlier handler ran\n");
    EXPECT_TRUE(signalRecord().is_object());
}

// Kills `child` as soon as its report at `report` holds `bytes` bytes, watching the report's folder for
// writes; a child that ends first is left to its end. 0 kills at once.
void killOnceWritten(
    ::testing::ChildProcess& child, const std::filesystem::path& report, std::uintmax_t bytes)
{
    int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, report.parent_path().c_str(), IN_CREATE | IN_MODIFY), 0);
    auto written = [&report] {
        std::error_code error;
        std::uintmax_t size = std::filesystem::file_size(report, error);
        return error ? 0 : size;
    };
    auto ended = [&child] {
        return child.deathSignal(std::chrono::milliseconds(0)) || child.wait(std::chrono::milliseconds(0));
    };
    // Each write wakes the watch; without one for a while the child may have ended, which no write tells.
    auto limit = std::chrono::steady_clock::now() + testing::kCaptureChildLimit;
    while (written() < bytes && !ended() && std::chrono::steady_clock::now() < limit) {
        pollfd ready { watch, POLLIN, 0 };
        char events[4096];
        if (poll(&ready, 1, 100) > 0)
            (void)!read(watch, events, sizeof events);
    }
    close(watch);
    child.signal(SIGKILL);
}

// Twenty moments in all, in two halves so that each test stays short: every child is killed once its report
// has a twentieth more of a whole report's bytes than the one before, from none at all to the end of its
// fault path.
class EMBSignalKill : public ::testing::TestWithParam<int> { };

TEST_P(EMBSignalKill, AReportKilledAtAnyMomentIsWholeOrReadAsPartial)
{
    constexpr int kMoments = 10;
    constexpr int kAllMoments = 2 * kMoments;
    auto reportIn
        = [](const ::testing::TemporaryDirectory& folder) { return folder.path() / "signal.embrecord"; };
    // How long a report of this scenario is, from one left to finish.
    ::testing::TemporaryDirectory whole;
    auto finished = startCaptureChild("fault-on-go", whole.path());
    ASSERT_EQ(testing::scenarioLine(*finished), "ready");
    finished->write("g");
    ASSERT_EQ(finished->deathSignal(testing::kCaptureChildLimit), SIGSEGV);
    std::uintmax_t length = std::filesystem::file_size(reportIn(whole));
    ASSERT_GT(length, 0u);

    const int first = GetParam() * kMoments;
    std::vector<std::unique_ptr<::testing::TemporaryDirectory>> folders;
    std::vector<std::unique_ptr<::testing::ChildProcess>> children;
    for (int moment = 0; moment < kMoments; ++moment) {
        folders.push_back(std::make_unique<::testing::TemporaryDirectory>());
        children.push_back(startCaptureChild("fault-on-go", folders.back()->path()));
    }
    for (auto& child : children)
        ASSERT_EQ(testing::scenarioLine(*child), "ready");
    for (int moment = 0; moment < kMoments; ++moment) {
        int at = first + moment;
        // The last moment waits for the report to be finished.
        std::uintmax_t bytes
            = at + 1 == kAllMoments ? UINTMAX_MAX : length * std::uintmax_t(at) / (kAllMoments - 1);
        children[std::size_t(moment)]->write("g");
        killOnceWritten(*children[std::size_t(moment)], reportIn(*folders[std::size_t(moment)]), bytes);
    }
    int wholeReports = 0;
    for (int moment = 0; moment < kMoments; ++moment) {
        SCOPED_TRACE(first + moment);
        auto death = children[std::size_t(moment)]->deathSignal(testing::kCaptureChildLimit);
        EXPECT_TRUE(death == SIGKILL || death == SIGSEGV) << death.value_or(0);
        auto sections = EMBFileReadSections(reportIn(*folders[std::size_t(moment)]).string(), false);
        if (!sections)
            continue;
        EXPECT_TRUE(sections->skippedLines.empty()) << "a kill leaves no broken line before the last";
        if (!sections->partial() && !sections->records.empty()) {
            ++wholeReports;
            EXPECT_TRUE(sections->records.front()->contains("signal"));
        }
    }
    if (GetParam() == 1) {
        EXPECT_GT(wholeReports, 0) << "the last moment finds the report written";
    }
}

INSTANTIATE_TEST_SUITE_P(Halves, EMBSignalKill, ::testing::Values(0, 1));

TEST(EMBSignal, NamesAreTheLinuxSignalsOwn)
{
    struct Case {
        int number;
        const char* name;
    };
    for (auto [number, name] : { Case { SIGILL, "SIGILL" }, Case { SIGTRAP, "SIGTRAP" },
             Case { SIGABRT, "SIGABRT" }, Case { SIGFPE, "SIGFPE" }, Case { SIGBUS, "SIGBUS" },
             Case { SIGSEGV, "SIGSEGV" }, Case { SIGSYS, "SIGSYS" }, Case { SIGUSR1, "UNKNOWN" } }) {
        const char* found = nullptr;
        const char* codeName = "unset";
        EMBSignalNameLookup(number, 0, &found, &codeName);
        EXPECT_STREQ(found, name);
        EXPECT_STREQ(codeName, number == SIGABRT ? "ABORT" : nullptr);
    }
    EXPECT_EQ(SIGBUS, 7) << "numbers are Linux's";
}

TEST(EMBSignal, MachMasksStandForTheFatalSignals)
{
    EXPECT_EQ(EMBMachExceptionMaskForSignal(SIGSEGV), kEMBExceptionMaskBadAccess);
    EXPECT_EQ(EMBMachExceptionMaskForSignal(SIGBUS), kEMBExceptionMaskBadAccess);
    EXPECT_EQ(EMBMachExceptionMaskForSignal(SIGILL), kEMBExceptionMaskBadInstruction);
    EXPECT_EQ(EMBMachExceptionMaskForSignal(SIGFPE), kEMBExceptionMaskArithmetic);
    EXPECT_EQ(EMBMachExceptionMaskForSignal(SIGTRAP), kEMBExceptionMaskBreakpoint);
    EXPECT_EQ(EMBMachExceptionMaskForSignal(SIGABRT), kEMBExceptionMaskCrash);
    EXPECT_EQ(EMBMachExceptionMaskForSignal(SIGSYS), kEMBExceptionMaskCrash);
    EXPECT_EQ(EMBMachExceptionMaskForSignal(SIGUSR1), 0u);
}

}
}
