#include "kit/crash/capture/EMBProcess.h"
#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBFileReader.h"
#include "kit/crash/capture/EMBProcessRecords.h"
#include "kit/crash/capture/tests/RecordingChild.h"
#include "platform/foundation/Dictionary.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#define UNW_LOCAL_ONLY
#include <libunwind.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace kit {
namespace {

namespace fs = std::filesystem;
using testing::addresses;
using testing::faultLevel;
using testing::installRecordingHandler;
using testing::ParkedThread;

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
    EXPECT_LT(took, std::chrono::seconds(20)) << "capture never hangs on a thread";
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
    auto child = testing::runRecordingChild(
        "EMBProcessChild.DISABLED_RecordsEveryThreadFromTheFaultingThreadsSignalHandler", path);
    std::string output = child->readAll(std::chrono::seconds(20));
    EXPECT_EQ(child->deathSignal(std::chrono::seconds(20)), SIGSEGV) << output;
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

}
}
