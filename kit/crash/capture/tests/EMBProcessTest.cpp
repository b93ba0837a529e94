#include "kit/crash/capture/EMBProcess.h"
#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBFileReader.h"
#include "kit/crash/capture/EMBProcessRecords.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "testing/AllocationTrap.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#define UNW_LOCAL_ONLY
#include <libunwind.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <link.h>
#include <sstream>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace kit {
namespace {

namespace fs = std::filesystem;
using platform::foundation::DictionaryRef;

// A thread parked three calls deep in a blocking read. Before it blocks it takes, with libunwind, the
// return addresses of its callers: the same ones the walk must find above the read.
class ParkedThread {
public:
    ParkedThread()
    {
        if (pipe(m_pipe) != 0)
            return;
        m_thread = std::thread([this] { level1(); });
        while (!m_ready.load())
            std::this_thread::yield();
    }

    ~ParkedThread()
    {
        (void)!write(m_pipe[1], "x", 1);
        m_thread.join();
        close(m_pipe[0]);
        close(m_pipe[1]);
    }

    pid_t tid() const { return m_tid; }
    const std::vector<std::uint64_t>& callers() const { return m_callers; }

private:
    __attribute__((noinline)) void level1()
    {
        level2();
        asm volatile("");
    }

    __attribute__((noinline)) void level2()
    {
        level3();
        asm volatile("");
    }

    __attribute__((noinline)) void level3()
    {
        void* addresses[64];
        int count = unw_backtrace(addresses, 64);
        for (int i = 1; i < count; ++i)
            m_callers.push_back(reinterpret_cast<std::uint64_t>(addresses[i]));
        m_tid = pid_t(syscall(SYS_gettid));
        m_ready = true;
        char byte = 0;
        (void)!read(m_pipe[0], &byte, 1);
        asm volatile("");
    }

    int m_pipe[2] { -1, -1 };
    pid_t m_tid { 0 };
    std::vector<std::uint64_t> m_callers;
    std::atomic<bool> m_ready { false };
    std::thread m_thread;
};

std::vector<std::uint64_t> addresses(const platform::foundation::ArrayRef& array)
{
    std::vector<std::uint64_t> values;
    for (std::size_t i = 0; array && i < array->size(); ++i)
        values.push_back(std::uint64_t(array->at(i).integerValue()));
    return values;
}

std::size_t taskThreadCount(pid_t pid = getpid())
{
    std::size_t count = 0;
    for (auto& entry : fs::directory_iterator(fs::path("/proc") / std::to_string(pid) / "task")) {
        (void)entry;
        ++count;
    }
    return count;
}

class EMBProcessTest : public ::testing::Test {
protected:
    void SetUp() override { EMBBinaryImageInit((m_folder.path() / "images.embrecord").c_str()); }
    void TearDown() override { EMBBinaryImageDeinit(); }

    // Captures every thread of this process as the fault path does, from the test's own thread.
    platform::foundation::ArrayRef captureThreads(EMBProcess* process)
    {
        fs::path path = m_folder.path() / "threads.embrecord";
        fs::remove(path);
        EMBFile file;
        if (!EMBProcessInit(process, pid_t(syscall(SYS_gettid)), nullptr)
            || !EMBFileInitWithPath(&file, path.c_str(), false))
            return nullptr;
        m_allStopped = EMBProcessSuspendAllOtherThreads(process);
        m_written = EMBProcessRecordAllThreads(process, &file);
        EMBProcessResumeAllOtherThreads(process);
        EMBFileClose(&file);
        auto sections = EMBFileReadSections(path.string(), false);
        if (!sections || sections->partial() || sections->records.size() != 1)
            return nullptr;
        return sections->records[0]->get("threads").array();
    }

    ::testing::TemporaryDirectory m_folder;
    bool m_allStopped { false };
    bool m_written { false };
};

TEST_F(EMBProcessTest, RecordsEveryThreadOnceWithTheCallersOfEachParkedThread)
{
    std::vector<std::unique_ptr<ParkedThread>> parked;
    for (int i = 0; i < 4; ++i)
        parked.push_back(std::make_unique<ParkedThread>());
    EMBProcess process;
    auto threads = captureThreads(&process);
    ASSERT_TRUE(threads);
    EXPECT_TRUE(m_allStopped);
    EXPECT_TRUE(m_written);
    ASSERT_EQ(threads->size(), process.threadCount);
    EXPECT_EQ(process.threadCount, taskThreadCount());
    std::vector<pid_t> listed(process.threads, process.threads + process.threadCount);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(std::adjacent_find(listed.begin(), listed.end()), listed.end()) << "a thread listed twice";

    for (auto& thread : parked) {
        auto at = std::find(process.threads, process.threads + process.threadCount, thread->tid());
        ASSERT_NE(at, process.threads + process.threadCount);
        auto record = threads->at(std::size_t(at - process.threads)).dictionary();
        ASSERT_TRUE(record);
        EXPECT_FALSE(record->get("crashed").boolValue());
        auto registers = record->get("registers").dictionary();
        ASSERT_TRUE(registers);
        EXPECT_EQ(registers->size(), std::size_t(kEMBThreadRegisterCount));
        auto stack = addresses(record->get("stacktrace").array());
        const auto& callers = thread->callers();
        ASSERT_FALSE(callers.empty());
        auto first = std::find(stack.begin(), stack.end(), callers.front());
        ASSERT_NE(first, stack.end()) << "the walk never reached the parked function's caller";
        EXPECT_EQ(std::vector<std::uint64_t>(first, stack.end()), callers);
        EXPECT_EQ(std::uint64_t(registers->get("rip").integerValue()), stack.front());
    }
}

TEST_F(EMBProcessTest, TheCurrentThreadIsRecordedFromWhereTheRecordIsWritten)
{
    EMBProcess process;
    auto threads = captureThreads(&process);
    ASSERT_TRUE(threads);
    auto at = std::find(process.threads, process.threads + process.threadCount, process.currentThread);
    ASSERT_NE(at, process.threads + process.threadCount);
    auto record = threads->at(std::size_t(at - process.threads)).dictionary();
    EXPECT_TRUE(record->get("crashed").boolValue()) << "the crashed thread is the current one here";
    auto stack = addresses(record->get("stacktrace").array());
    void* here[64];
    int count = unw_backtrace(here, 64);
    ASSERT_GE(count, 3);
    // This test's caller is in both walks.
    EXPECT_NE(std::find(stack.begin(), stack.end(), reinterpret_cast<std::uint64_t>(here[1])), stack.end());
}

TEST_F(EMBProcessTest, AThreadThatCannotAnswerIsListedWithoutRegistersAndTheRecordStaysWhole)
{
    std::atomic<bool> blocked { false };
    std::atomic<bool> done { false };
    std::thread deaf([&] {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, EMBThreadSuspensionSignal());
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        blocked = true;
        while (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // The signal still pending from the capture arrives here and must be harmless.
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    });
    while (!blocked)
        std::this_thread::yield();
    EMBProcess process;
    auto started = std::chrono::steady_clock::now();
    auto threads = captureThreads(&process);
    auto took = std::chrono::steady_clock::now() - started;
    done = true;
    deaf.join();
    ASSERT_TRUE(threads);
    EXPECT_FALSE(m_allStopped);
    EXPECT_LT(took, std::chrono::seconds(2)) << "capture never hangs on a thread";
    std::size_t withoutRegisters = 0;
    for (std::size_t i = 0; i < threads->size(); ++i) {
        auto record = threads->at(i).dictionary();
        if (record->get("registers").dictionary()->size() == 0) {
            ++withoutRegisters;
            EXPECT_EQ(record->get("stacktrace").array()->size(), 0u);
        }
    }
    EXPECT_EQ(withoutRegisters, 1u);
}

TEST_F(EMBProcessTest, CapturesOneAfterTheOther)
{
    ParkedThread parked;
    for (int round = 0; round < 20; ++round) {
        EMBProcess process;
        ASSERT_TRUE(captureThreads(&process)) << round;
        EXPECT_TRUE(m_allStopped) << round;
    }
}

// In a child: threads parked, a fault five calls deep, and the signal handler records every thread under
// the allocation trap, then dies by the signal.
const char* g_recordPath { nullptr };
char g_alternateStack[256 * 1024];

void recordInHandler(int, siginfo_t*, void* context)
{
    ::testing::AllocationTrap::arm();
    EMBProcess process;
    EMBFile file;
    if (EMBProcessInit(&process, pid_t(syscall(SYS_gettid)), static_cast<ucontext_t*>(context))
        && EMBFileInitWithPath(&file, g_recordPath, false)) {
        EMBProcessSuspendAllOtherThreads(&process);
        if (EMBProcessRecordAllThreads(&process, &file))
            (void)!write(STDOUT_FILENO, "recorded\n", 9);
        EMBProcessResumeAllOtherThreads(&process);
        // The threads in record order, for the parent: "tid 1234" lines.
        for (std::uint32_t i = 0; i < process.threadCount; ++i) {
            char line[32] = "tid ";
            std::size_t length = 4;
            char digits[16];
            std::size_t count = 0;
            for (auto value = std::uint32_t(process.threads[i]); count == 0 || value != 0; value /= 10)
                digits[count++] = char('0' + value % 10);
            while (count > 0)
                line[length++] = digits[--count];
            line[length++] = '\n';
            (void)!write(STDOUT_FILENO, line, length);
        }
        EMBFileClose(&file);
    }
    ::testing::AllocationTrap::disarm();
    signal(SIGSEGV, SIG_DFL);
    raise(SIGSEGV);
}

volatile int* g_fault { nullptr };

/// In a child: records into the file the parent names, and makes a write through g_fault fault into
/// recordInHandler on the alternate stack.
void installRecordingHandler()
{
    static std::string path = getenv("EMB_TEST_RECORD_PATH");
    g_recordPath = path.c_str();
    EMBBinaryImageInit((path + ".images").c_str());
    stack_t stack {};
    stack.ss_sp = g_alternateStack;
    stack.ss_size = sizeof g_alternateStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action { };
    action.sa_sigaction = recordInHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigaction(SIGSEGV, &action, nullptr);
    g_fault = static_cast<int*>(mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
}

__attribute__((noinline)) void faultLevel(int level)
{
    if (level == 0)
        *g_fault = 1;
    else
        faultLevel(level - 1);
    asm volatile("");
}

TEST(EMBProcessChild, DISABLED_RecordsEveryThreadFromTheFaultingThreadsSignalHandler)
{
    std::vector<std::unique_ptr<ParkedThread>> parked;
    for (int i = 0; i < 5; ++i)
        parked.push_back(std::make_unique<ParkedThread>());
    installRecordingHandler();
    faultLevel(5);
}

TEST_F(EMBProcessTest, RecordsEveryThreadFromAFaultWithoutAllocating)
{
    fs::path path = m_folder.path() / "signal.embrecord";
    char self[PATH_MAX] {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    ::testing::ChildProcess child({ "/usr/bin/env", "EMB_TEST_RECORD_PATH=" + path.string(),
        "ASAN_OPTIONS=handle_segv=0:detect_leaks=0:abort_on_error=1", self, "--gtest_also_run_disabled_tests",
        "--gtest_filter=EMBProcessChild.DISABLED_RecordsEveryThreadFromTheFaultingThreadsSignalHandler" });
    std::string output = child.readAll(std::chrono::seconds(20));
    EXPECT_EQ(child.deathSignal(std::chrono::seconds(20)), SIGSEGV) << output;
    EXPECT_NE(output.find("recorded"), std::string::npos) << output;

    auto sections = EMBFileReadSections(path.string(), false);
    ASSERT_TRUE(sections);
    EXPECT_FALSE(sections->partial());
    ASSERT_EQ(sections->records.size(), 1u);
    auto threads = sections->records[0]->get("threads").array();
    ASSERT_TRUE(threads);
    EXPECT_GE(threads->size(), 6u);
    int crashed = 0;
    for (std::size_t i = 0; i < threads->size(); ++i) {
        auto record = threads->at(i).dictionary();
        auto stack = addresses(record->get("stacktrace").array());
        EXPECT_GE(stack.size(), 4u) << "thread " << i;
        if (!record->get("crashed").boolValue())
            continue;
        ++crashed;
        // Six calls of faultLevel, the last one faulting: five return into faultLevel itself.
        ASSERT_GE(stack.size(), 7u);
        EXPECT_EQ(std::uint64_t(record->get("registers").dictionary()->get("rip").integerValue()), stack[0]);
        EXPECT_EQ(std::count(stack.begin(), stack.end(), stack[1]), 5) << "the recursion's return address";
    }
    EXPECT_EQ(crashed, 1);
}

// gdb on the same process is the oracle: the child waits until gdb has attached, then faults; gdb prints
// the crashed thread's frames and registers at the fault and lets the child's handler run.
TEST(EMBProcessChild, DISABLED_FaultsOnceADebuggerWatches)
{
    ParkedThread parked;
    installRecordingHandler();
    std::string ready = "ready " + std::to_string(getpid()) + "\n";
    (void)!write(STDOUT_FILENO, ready.data(), ready.size());
    for (int i = 0; i < 20000 && !EMBProcessDebuggerAttached(); ++i)
        usleep(1000);
    faultLevel(5);
}

// The hexadecimal numbers gdb printed after `prefix` at the start of a line, in order.
std::vector<std::uint64_t> printedValues(const std::string& output, const std::string& prefix)
{
    std::vector<std::uint64_t> values;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        auto at = line.find("0x", prefix.size());
        if (at != std::string::npos)
            values.push_back(std::stoull(line.substr(at), nullptr, 16));
    }
    return values;
}

// Consecutive equal addresses as one: gdb lists an inlined call as a frame of its own at the same PC.
std::vector<std::uint64_t> folded(std::vector<std::uint64_t> addresses)
{
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}

TEST_F(EMBProcessTest, TheCrashedThreadsFramesAndRegistersAreThoseGdbSees)
{
    fs::path path = m_folder.path() / "signal.embrecord";
    char self[PATH_MAX] {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    ::testing::ChildProcess child({ "/usr/bin/env", "EMB_TEST_RECORD_PATH=" + path.string(),
        "ASAN_OPTIONS=handle_segv=0:detect_leaks=0:abort_on_error=1", self, "--gtest_also_run_disabled_tests",
        "--gtest_filter=EMBProcessChild.DISABLED_FaultsOnceADebuggerWatches" });
    std::optional<std::string> ready;
    while ((ready = child.readLine(std::chrono::seconds(20))) && ready->rfind("ready ", 0) != 0) { }
    ASSERT_TRUE(ready);
    std::string pid = ready->substr(6);
    std::string suspension
        = "handle SIG" + std::to_string(EMBThreadSuspensionSignal()) + " nostop noprint pass";
    std::string gdb = ::testing::ChildProcess(
        { "/usr/bin/gdb", "-nx", "-batch", "-iex", "set debug-file-directory /nonexistent", "-p", pid, "-ex",
            suspension, "-ex", "set backtrace past-main on", "-ex", "set backtrace past-entry on", "-ex",
            "continue", "-ex", "frame apply all -q p/x $pc", "-ex",
            "info registers rip rsp rbp rbx r12 r13 r14 r15", "-ex", "echo ==threads==\\n", "-ex",
            "thread apply all frame apply all -q p/x $pc", "-ex", "continue" })
                          .readAll(std::chrono::seconds(60));
    std::string output = child.readAll(std::chrono::seconds(20));
    EXPECT_EQ(child.deathSignal(std::chrono::seconds(20)), SIGSEGV) << output;
    ASSERT_NE(gdb.find("SIGSEGV"), std::string::npos) << gdb;

    auto sections = EMBFileReadSections(path.string(), false);
    ASSERT_TRUE(sections && sections->records.size() == 1) << output;
    auto threads = sections->records[0]->get("threads").array();
    ASSERT_TRUE(threads);
    DictionaryRef crashed;
    for (std::size_t i = 0; i < threads->size(); ++i) {
        if (threads->at(i).dictionary()->get("crashed").boolValue())
            crashed = threads->at(i).dictionary();
    }
    ASSERT_TRUE(crashed);
    auto ours = folded(addresses(crashed->get("stacktrace").array()));
    std::string crashedPart = gdb.substr(0, gdb.find("==threads=="));
    auto theirs = folded(printedValues(crashedPart, "$"));
    ASSERT_GE(theirs.size(), 7u) << gdb;
    EXPECT_EQ(ours, theirs) << gdb;
    auto registers = crashed->get("registers").dictionary();
    for (const char* name : { "rip", "rsp", "rbp", "rbx", "r12", "r13", "r14", "r15" }) {
        auto printed = printedValues(crashedPart, name);
        ASSERT_EQ(printed.size(), 1u) << name << "\n" << gdb;
        EXPECT_EQ(std::uint64_t(registers->get(name).integerValue()), printed[0]) << name;
    }

    // Every other thread sits in a blocking call: its callers are those gdb finds. (Where it stopped may
    // differ: a system call the signal interrupted is set back to start again.) gdb reads no separate debug
    // files, from which it would make up frames for tail calls that left nothing on the stack.
    std::vector<pid_t> tids;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("tid ", 0) == 0)
            tids.push_back(pid_t(std::stol(line.substr(4))));
    }
    ASSERT_EQ(tids.size(), threads->size()) << output;
    int compared = 0;
    for (std::size_t i = 0; i < tids.size(); ++i) {
        if (threads->at(i).dictionary()->get("crashed").boolValue())
            continue;
        auto header = gdb.find("(LWP " + std::to_string(tids[i]) + ")", gdb.find("==threads=="));
        ASSERT_NE(header, std::string::npos) << tids[i] << "\n" << gdb;
        std::string part = gdb.substr(header, gdb.find("\nThread ", header) - header);
        auto gdbCallers = folded(printedValues(part, "$"));
        auto ourCallers = folded(addresses(threads->at(i).dictionary()->get("stacktrace").array()));
        ASSERT_FALSE(gdbCallers.empty() || ourCallers.empty()) << tids[i];
        EXPECT_EQ(std::vector<std::uint64_t>(ourCallers.begin() + 1, ourCallers.end()),
            std::vector<std::uint64_t>(gdbCallers.begin() + 1, gdbCallers.end()))
            << "thread " << tids[i] << "\n"
            << part;
        ++compared;
    }
    EXPECT_GE(compared, 1);
}

}
}
