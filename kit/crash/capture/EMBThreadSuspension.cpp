#include "kit/crash/capture/EMBThreadSuspension.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <linux/futex.h>
#include <sched.h>
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
    /// The thread's own time slice, which it takes back as it leaves; 0 when the capture left it as it was.
    std::uint64_t slice { 0 };
};

// The kernel's scheduling attributes (struct sched_attr, its first version): for a thread of the normal
// policy, `runtime` is the time slice it asks for.
struct SchedulingAttributes {
    std::uint32_t size;
    std::uint32_t policy;
    std::uint64_t flags;
    std::int32_t nice;
    std::uint32_t priority;
    std::uint64_t runtime;
    std::uint64_t deadline;
    std::uint64_t period;
};

// The shortest slice the kernel grants. A thread woken with a slice shorter than the running one's is run
// at once instead of after it; on a busy machine that turns a wait of several slices into none.
constexpr std::uint64_t kAnswerSliceNanoseconds { 100'000 };

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

// Gives thread `tid` (0: the calling one) the answering slice and answers the slice it had, or 0 when it
// keeps its own (another policy, or a kernel without slices per thread).
std::uint64_t shortenSlice(pid_t tid)
{
    SchedulingAttributes attributes {};
    if (syscall(SYS_sched_getattr, tid, &attributes, sizeof attributes, 0) != 0
        || attributes.policy != SCHED_OTHER || attributes.runtime <= kAnswerSliceNanoseconds)
        return 0;
    std::uint64_t previous = attributes.runtime;
    attributes.size = sizeof attributes;
    attributes.runtime = kAnswerSliceNanoseconds;
    return syscall(SYS_sched_setattr, tid, &attributes, 0) == 0 ? previous : 0;
}

// Gives thread `tid` (0: the calling one) back the `slice` shortenSlice answered.
void restoreSlice(pid_t tid, std::uint64_t slice)
{
    SchedulingAttributes attributes {};
    if (slice == 0 || syscall(SYS_sched_getattr, tid, &attributes, sizeof attributes, 0) != 0)
        return;
    attributes.size = sizeof attributes;
    attributes.runtime = slice;
    syscall(SYS_sched_setattr, tid, &attributes, 0);
}

void wake(std::atomic<std::uint32_t>& atomic)
{
    syscall(SYS_futex, word(atomic), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

void wake(Slot& slot)
{
    wake(slot.state);
}

// The requests of the running capture not yet answered. EMBThreadSuspensionStop sleeps on it once for all
// of them, and only the answer that brings it to 0 wakes it: one round trip in all, not one per thread.
std::atomic<std::uint32_t> g_unanswered { 0 };

// The slot whose answer the capture sleeps on (EMBThreadSuspensionGetState), kNoSlot when none: only that
// answer wakes it, the others go by without a system call.
constexpr std::uint32_t kNoSlot { UINT32_MAX };
std::atomic<std::uint32_t> g_awaited { kNoSlot };

// The one time limit of the running capture's requests, and the capture's own slice to take back at resume.
std::int64_t g_deadline { 0 };
std::uint64_t g_captureSlice { 0 };

// Takes back the request of a thread that has not answered in time (its slice too), so that a late signal
// finds nothing to answer. Nothing for a slot in any other state.
void withdrawUnanswered(Slot& slot)
{
    std::uint32_t requested = kRequested;
    if (slot.state.compare_exchange_strong(requested, kFree, std::memory_order_acq_rel))
        restoreSlice(slot.tid.load(std::memory_order_relaxed), slot.slice);
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
    if (mine->state.compare_exchange_strong(requested, kStopped, std::memory_order_seq_cst)) {
        if (g_unanswered.fetch_sub(1, std::memory_order_seq_cst) == 1)
            wake(g_unanswered);
        if (g_awaited.load(std::memory_order_seq_cst) == std::uint32_t(mine - g_slots))
            wake(*mine);
        waitWhile(*mine, kStopped, now() + kStoppedLimitNanoseconds);
        restoreSlice(0, mine->slice);
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
    // The slots' pages become the process's own now rather than at a capture's first write to each.
    for (Slot& slot : g_slots)
        slot.state.fetch_add(0, std::memory_order_relaxed);
    return true;
}

void EMBThreadSuspensionRequest(const pid_t* threads, std::uint32_t count, pid_t skip)
{
    if (!EMBThreadSuspensionInstall())
        return;
    g_slotCount = count < kEMBSuspensionMaxThreads ? count : kEMBSuspensionMaxThreads;
    pid_t process = getpid();
    // Threads of an earlier capture still leaving their slots (and counting their answers): a moment for
    // all of them together.
    std::int64_t leaving = now() + kEMBSuspensionAnswerTimeoutNanoseconds;
    for (Slot& slot : g_slots)
        waitWhile(slot, kResumed, leaving);
    g_unanswered.store(0, std::memory_order_release);
    g_awaited.store(kNoSlot, std::memory_order_release);
    // A short slice for this thread first: on a busy machine it then keeps its turns while it asks (the
    // threads it wakes have short slices too), and each answer that wakes it finds it ready to go on.
    g_captureSlice = shortenSlice(0);
    for (std::uint32_t i = 0; i < g_slotCount; ++i) {
        Slot& slot = g_slots[i];
        slot.state.store(kFree, std::memory_order_release);
        slot.tid.store(threads[i], std::memory_order_release);
        slot.slice = 0;
        if (threads[i] == skip || threads[i] <= 0)
            continue;
        slot.slice = shortenSlice(threads[i]);
        // Counted before it is sent, so that the count never runs below the answers.
        g_unanswered.fetch_add(1, std::memory_order_acq_rel);
        slot.state.store(kRequested, std::memory_order_release);
        if (syscall(SYS_tgkill, process, threads[i], EMBThreadSuspensionSignal()) != 0) {
            slot.state.store(kFree, std::memory_order_release);
            g_unanswered.fetch_sub(1, std::memory_order_acq_rel);
            restoreSlice(threads[i], slot.slice);
        }
    }
    // One limit for all the threads together, however many there are.
    g_deadline = now() + kEMBSuspensionAnswerTimeoutNanoseconds;
}

std::uint32_t EMBThreadSuspensionAwaitAll()
{
    for (std::uint32_t left = g_unanswered.load(std::memory_order_acquire);
         left != 0 && sleepWhile(g_unanswered, left, g_deadline);
         left = g_unanswered.load(std::memory_order_acquire)) { }
    std::uint32_t stopped = 0;
    for (std::uint32_t i = 0; i < g_slotCount; ++i) {
        withdrawUnanswered(g_slots[i]);
        stopped += g_slots[i].state.load(std::memory_order_acquire) == kStopped ? 1 : 0;
    }
    return stopped;
}

std::uint32_t EMBThreadSuspensionStop(const pid_t* threads, std::uint32_t count, pid_t skip)
{
    EMBThreadSuspensionRequest(threads, count, skip);
    return EMBThreadSuspensionAwaitAll();
}

bool EMBThreadSuspensionGetState(std::uint32_t index, EMBThreadState* state)
{
    if (index >= g_slotCount)
        return false;
    Slot& slot = g_slots[index];
    if (slot.state.load(std::memory_order_seq_cst) == kRequested) {
        // Published before the state is looked at again (in the kernel's futex check): either this thread
        // sees the answer, or the answering thread sees whom to wake.
        g_awaited.store(index, std::memory_order_seq_cst);
        while (slot.state.load(std::memory_order_seq_cst) == kRequested
            && sleepWhile(slot.state, kRequested, g_deadline)) { }
        g_awaited.store(kNoSlot, std::memory_order_seq_cst);
        withdrawUnanswered(slot);
    }
    if (slot.state.load(std::memory_order_acquire) != kStopped)
        return false;
    *state = slot.registers;
    return true;
}

void EMBThreadSuspensionResume()
{
    // No waiting for the threads to leave: the fault path ends sooner, and the next capture waits for any
    // slot still being left before it reuses it. A request nobody waited for (its thread's registers came
    // from elsewhere) is taken back, so that a late answer does not stop its thread again.
    for (std::uint32_t i = 0; i < g_slotCount; ++i) {
        withdrawUnanswered(g_slots[i]);
        std::uint32_t stopped = kStopped;
        if (g_slots[i].state.compare_exchange_strong(stopped, kResumed, std::memory_order_acq_rel))
            wake(g_slots[i]);
    }
    g_slotCount = 0;
    restoreSlice(0, g_captureSlice);
    g_captureSlice = 0;
}

}
