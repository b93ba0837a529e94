#include "kit/crash/capture/EMBThreadSuspension.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kit {
namespace {

// A slot's life: a capture asks (Requested), the thread answers with its registers (Stopped) and waits;
// the capture lets it go (Resumed) and the thread frees the slot as it leaves (Free). A capture that gives
// up on a thread takes its request back (Requested → Free), so a late signal finds nothing to answer.
enum SlotState : std::uint32_t { kFree, kRequested, kStopped, kResumed };

struct Slot {
    std::atomic<pid_t> tid { 0 };
    /// The futex word both sides wait on.
    std::atomic<std::uint32_t> state { kFree };
    EMBThreadState registers;
};

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));

// How long a stopped thread waits for its capture before it goes on by itself: the capture has gone wrong.
constexpr std::int64_t kStoppedLimitNanoseconds { 10'000'000'000 };

Slot g_slots[kEMBSuspensionMaxThreads];
std::uint32_t g_slotCount { 0 };
std::atomic<bool> g_installed { false };
struct sigaction g_previous { };

std::int64_t now()
{
    timespec time {};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return std::int64_t(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

std::uint32_t* word(std::atomic<std::uint32_t>& atomic)
{
    return reinterpret_cast<std::uint32_t*>(&atomic);
}

// Sleeps while `atomic` holds `expected`, until `deadline` at most; false once the deadline has passed.
bool sleepWhile(std::atomic<std::uint32_t>& atomic, std::uint32_t expected, std::int64_t deadline)
{
    std::int64_t left = deadline - now();
    if (left <= 0)
        return false;
    timespec timeout { time_t(left / 1'000'000'000), long(left % 1'000'000'000) };
    syscall(SYS_futex, word(atomic), FUTEX_WAIT_PRIVATE, expected, &timeout, nullptr, 0);
    return true;
}

// Waits while the slot's state is `expected`, until `deadline` at most.
void waitWhile(Slot& slot, std::uint32_t expected, std::int64_t deadline)
{
    while (slot.state.load(std::memory_order_acquire) == expected
        && sleepWhile(slot.state, expected, deadline)) { }
}

void wake(std::atomic<std::uint32_t>& atomic)
{
    syscall(SYS_futex, word(atomic), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

void wake(Slot& slot)
{
    wake(slot.state);
}

// Counts every answer, so that a capture waiting for many threads sleeps on one word and wakes once for
// all the answers that came meanwhile, rather than once per thread.
std::atomic<std::uint32_t> g_answers { 0 };

// Whether any slot still waits for its thread's answer.
bool anyRequested()
{
    for (std::uint32_t i = 0; i < g_slotCount; ++i) {
        if (g_slots[i].state.load(std::memory_order_acquire) == kRequested)
            return true;
    }
    return false;
}

void passOn(int signal, siginfo_t* info, void* context)
{
    if ((g_previous.sa_flags & SA_SIGINFO) != 0 && g_previous.sa_sigaction != nullptr)
        g_previous.sa_sigaction(signal, info, context);
    else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN)
        g_previous.sa_handler(signal);
}

void onStopSignal(int signal, siginfo_t* info, void* context)
{
    int savedErrno = errno;
    auto self = pid_t(syscall(SYS_gettid));
    Slot* mine = nullptr;
    for (std::uint32_t i = 0; i < kEMBSuspensionMaxThreads && mine == nullptr; ++i) {
        if (g_slots[i].tid.load(std::memory_order_acquire) == self
            && g_slots[i].state.load(std::memory_order_acquire) == kRequested)
            mine = &g_slots[i];
    }
    if (mine == nullptr || info->si_code != SI_TKILL) {
        passOn(signal, info, context);
        errno = savedErrno;
        return;
    }
    EMBThreadStateFromUContext(static_cast<const ucontext_t*>(context), &mine->registers);
    std::uint32_t requested = kRequested;
    if (mine->state.compare_exchange_strong(requested, kStopped, std::memory_order_acq_rel)) {
        g_answers.fetch_add(1, std::memory_order_acq_rel);
        wake(g_answers);
        waitWhile(*mine, kStopped, now() + kStoppedLimitNanoseconds);
        mine->state.store(kFree, std::memory_order_release);
        wake(*mine);
    }
    errno = savedErrno;
}

}

int EMBThreadSuspensionSignal()
{
    return SIGRTMAX - 3;
}

bool EMBThreadSuspensionInstall()
{
    if (g_installed.exchange(true))
        return true;
    struct sigaction action { };
    action.sa_sigaction = onStopSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
    sigfillset(&action.sa_mask);
    if (sigaction(EMBThreadSuspensionSignal(), &action, &g_previous) != 0) {
        g_installed = false;
        return false;
    }
    return true;
}

std::uint32_t EMBThreadSuspensionStop(const pid_t* threads, std::uint32_t count, pid_t skip)
{
    if (!EMBThreadSuspensionInstall())
        return 0;
    g_slotCount = count < kEMBSuspensionMaxThreads ? count : kEMBSuspensionMaxThreads;
    pid_t process = getpid();
    // Threads of an earlier capture still leaving their slots: a moment for all of them together.
    std::int64_t leaving = now() + kEMBSuspensionAnswerTimeoutNanoseconds;
    for (std::uint32_t i = 0; i < g_slotCount; ++i) {
        Slot& slot = g_slots[i];
        waitWhile(slot, kResumed, leaving);
        slot.state.store(kFree, std::memory_order_release);
        slot.tid.store(threads[i], std::memory_order_release);
        if (threads[i] == skip || threads[i] <= 0)
            continue;
        slot.state.store(kRequested, std::memory_order_release);
        if (syscall(SYS_tgkill, process, threads[i], EMBThreadSuspensionSignal()) != 0)
            slot.state.store(kFree, std::memory_order_release);
    }
    std::int64_t deadline = now() + kEMBSuspensionAnswerTimeoutNanoseconds;
    for (;;) {
        std::uint32_t answers = g_answers.load(std::memory_order_acquire);
        if (!anyRequested() || !sleepWhile(g_answers, answers, deadline))
            break;
    }
    std::uint32_t stopped = 0;
    for (std::uint32_t i = 0; i < g_slotCount; ++i) {
        Slot& slot = g_slots[i];
        std::uint32_t requested = kRequested;
        if (!slot.state.compare_exchange_strong(requested, kFree, std::memory_order_acq_rel))
            stopped += requested == kStopped ? 1 : 0;
    }
    return stopped;
}

bool EMBThreadSuspensionGetState(std::uint32_t index, EMBThreadState* state)
{
    if (index >= g_slotCount || g_slots[index].state.load(std::memory_order_acquire) != kStopped)
        return false;
    *state = g_slots[index].registers;
    return true;
}

void EMBThreadSuspensionResume()
{
    // No waiting for the threads to leave: the fault path ends sooner, and the next capture waits for any
    // slot still being left before it reuses it.
    for (std::uint32_t i = 0; i < g_slotCount; ++i) {
        std::uint32_t stopped = kStopped;
        if (g_slots[i].state.compare_exchange_strong(stopped, kResumed, std::memory_order_acq_rel))
            wake(g_slots[i]);
    }
    g_slotCount = 0;
}

}
