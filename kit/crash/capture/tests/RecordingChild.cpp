#include "kit/crash/capture/tests/RecordingChild.h"

#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBProcess.h"
#include "kit/crash/capture/tests/CrashTimeChild.h"
#include "testing/AllocationTrap.h"

#define UNW_LOCAL_ONLY
#include <libunwind.h>

#include <csignal>
#include <cstdlib>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kit::testing {
namespace {

const char* g_recordPath { nullptr };
volatile int* g_fault { nullptr };

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

}

ParkedThread::ParkedThread()
{
    if (pipe(m_pipe) != 0)
        return;
    m_thread = std::thread([this] { level1(); });
    while (!m_ready.load())
        std::this_thread::yield();
}

ParkedThread::~ParkedThread()
{
    (void)!write(m_pipe[1], "x", 1);
    m_thread.join();
    close(m_pipe[0]);
    close(m_pipe[1]);
}

__attribute__((noinline)) void ParkedThread::level1()
{
    level2();
    asm volatile("");
}

__attribute__((noinline)) void ParkedThread::level2()
{
    level3();
    asm volatile("");
}

__attribute__((noinline)) void ParkedThread::level3()
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

std::vector<std::uint64_t> addresses(const platform::foundation::ArrayRef& array)
{
    std::vector<std::uint64_t> values;
    for (std::size_t i = 0; array && i < array->size(); ++i)
        values.push_back(std::uint64_t(array->at(i).integerValue()));
    return values;
}

std::unique_ptr<::testing::ChildProcess> runRecordingChild(
    const std::string& test, const std::filesystem::path& recordPath)
{
    return runCrashTimeChild(test, { "EMB_TEST_RECORD_PATH=" + recordPath.string() });
}

void installRecordingHandler()
{
    static std::string path = getenv("EMB_TEST_RECORD_PATH");
    g_recordPath = path.c_str();
    EMBBinaryImageInit((std::filesystem::path(path).parent_path() / "binary_images.embrecord").c_str());
    handleSegvOnAlternateStack(recordInHandler);
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

}
