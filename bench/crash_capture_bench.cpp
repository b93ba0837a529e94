// Time from a fault to the last record of the fault path closed: a forked child per iteration with 20
// threads parked 20 calls deep faults, and its signal handler asks the other threads to stop, reads thread
// names and process figures while they answer, walks each stack as soon as its thread stopped and writes
// the threads, runtime, queue-name, thread-name, process and storage records. The goal: under 10 ms.

#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBHost.h"
#include "kit/crash/capture/EMBProcess.h"
#include "kit/crash/capture/EMBProcessRecords.h"
#include "kit/crash/capture/EMBThreadSuspension.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kThreads = 20;
constexpr int kDepth = 20;

std::atomic<int> g_parked { 0 };
// Never set: the parked threads stay until the child ends.
std::atomic<bool> g_released { false };
int g_resultPipe { -1 };
std::int64_t g_faultedAt { 0 };
char g_recordPath[256] {};
char g_alternateStack[256 * 1024];
volatile int* g_fault { nullptr };

std::int64_t now()
{
    timespec time {};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return std::int64_t(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

__attribute__((noinline)) void park(int depth)
{
    if (depth > 0) {
        park(depth - 1);
        asm volatile("");
        return;
    }
    ++g_parked;
    while (!g_released.load())
        pause();
}

// What a child answers: the moments its fault path reached, from the fault on; all 0 when it could not
// record.
struct Moments {
    std::int64_t listed { 0 };
    std::int64_t asked { 0 };
    std::int64_t readAhead { 0 };
    std::int64_t walked { 0 };
    std::int64_t closed { 0 };
};

void onFault(int, siginfo_t*, void* context)
{
    Moments moments;
    kit::EMBProcess process;
    kit::EMBFile file;
    if (kit::EMBProcessInit(&process, pid_t(syscall(SYS_gettid)), static_cast<ucontext_t*>(context))
        && kit::EMBFileInitWithPath(&file, g_recordPath, false)) {
        char buffer[kit::EMBFile::kBufferSize];
        kit::EMBFileLendBuffer(&file, buffer);
        moments.listed = now() - g_faultedAt;
        kit::EMBProcessRequestSuspensionOfOtherThreads(&process);
        moments.asked = now() - g_faultedAt;
        kit::EMBProcessReadAhead(&process);
        moments.readAhead = now() - g_faultedAt;
        kit::EMBProcessRecordAllThreads(&process, &file);
        moments.walked = now() - g_faultedAt;
        kit::EMBProcessRecordRuntimeInfo(&process, &file);
        kit::EMBProcessRecordDispatchQueueNames(&process, &file);
        kit::EMBProcessRecordThreadNames(&process, &file);
        kit::EMBProcessRecordStats(&process, &file);
        kit::EMBHostWriteDiskUsage(&file);
        kit::EMBFileReturnBuffer(&file);
        kit::EMBFileClose(&file);
        moments.closed = now() - g_faultedAt;
        kit::EMBProcessResumeAllOtherThreads(&process);
    }
    (void)!write(g_resultPipe, &moments, sizeof moments);
    _exit(0);
}

[[noreturn]] void child()
{
    // What capture's set-up does in the process that later crashes: a forked child shares its parent's pages
    // until it first writes to each, and the fault path should not be measured paying for that.
    std::memset(g_alternateStack, 0, sizeof g_alternateStack);
    kit::EMBBinaryImageRuleCache()->reserve();
    kit::EMBThreadSuspensionInstall();
    stack_t stack {};
    stack.ss_sp = g_alternateStack;
    stack.ss_size = sizeof g_alternateStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action { };
    action.sa_sigaction = onFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigaction(SIGSEGV, &action, nullptr);
    for (int i = 0; i < kThreads; ++i) {
        pthread_t thread;
        pthread_create(
            &thread, nullptr,
            [](void*) -> void* {
                park(kDepth);
                return nullptr;
            },
            nullptr);
    }
    while (g_parked.load() < kThreads)
        sched_yield();
    g_faultedAt = now();
    *g_fault = 1;
    _exit(1);
}

void SignalToLastRecord(benchmark::State& state)
{
    auto folder = std::filesystem::temp_directory_path() / "crash_capture_bench";
    std::filesystem::create_directories(folder);
    auto path = (folder / "signal.embrecord").string();
    std::snprintf(g_recordPath, sizeof g_recordPath, "%s", path.c_str());
    kit::EMBHostInitialize(folder.string());
    kit::EMBBinaryImageInit((folder / "binary_images.embrecord").c_str());
    g_fault = static_cast<int*>(mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    double listing = 0, asking = 0, readingAhead = 0, walking = 0, recording = 0;
    for (auto _ : state) {
        std::filesystem::remove(path);
        int ends[2];
        if (pipe(ends) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        g_resultPipe = ends[1];
        pid_t pid = fork();
        if (pid == 0)
            child();
        close(ends[1]);
        Moments moments;
        bool answered = read(ends[0], &moments, sizeof moments) == sizeof moments && moments.closed > 0;
        close(ends[0]);
        waitpid(pid, nullptr, 0);
        if (!answered) {
            state.SkipWithError("the child did not record");
            break;
        }
        state.SetIterationTime(double(moments.closed) / 1e9);
        listing += double(moments.listed);
        asking += double(moments.asked - moments.listed);
        readingAhead += double(moments.readAhead - moments.asked);
        walking += double(moments.walked - moments.readAhead);
        recording += double(moments.closed - moments.walked);
    }
    // Where the time goes, in milliseconds per iteration; the walk includes waiting for threads that have not
    // answered yet.
    auto share = [&state](double nanoseconds) { return nanoseconds / 1e6 / double(state.iterations()); };
    state.counters["list_ms"] = share(listing);
    state.counters["ask_ms"] = share(asking);
    state.counters["read_ahead_ms"] = share(readingAhead);
    state.counters["walk_ms"] = share(walking);
    state.counters["records_ms"] = share(recording);
    kit::EMBBinaryImageDeinit();
}

}

BENCHMARK(SignalToLastRecord)->UseManualTime()->Unit(benchmark::kMillisecond);
