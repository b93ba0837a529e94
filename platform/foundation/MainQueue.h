#pragma once

#include "platform/foundation/Clock.h"
#include "platform/foundation/EventSource.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

namespace platform::foundation {

/// The one queue on which every screen, model change and completion runs.
/// Any thread may post to it; only the main thread runs it.
///
/// In tests the queue runs on a virtual clock: work posted with async() runs
/// when the test calls runUntilIdle() or runUntil(); delayed work runs when
/// advance() moves the clock past its time. In the app, run() blocks and
/// follows the real clock.
///
/// Which clock: the queue starts on the real clock. The test main
/// (testing/TestMain.cpp) makes the thread running the tests the main thread,
/// and before and after every test drops whatever is still pending (reset())
/// and puts the queue on a fresh virtual clock at Clock::kVirtualStart
/// (useVirtualClock()). The app calls nothing and gets the real clock.
///
/// Order: every task has a due time on the clock's steady scale (async():
/// now; after(): now plus its delay). Tasks run by due time, and tasks due
/// at the same time in the order they were posted.
///
/// Besides tasks, the queue waits for its event sources (addSource()): while
/// it sleeps, their descriptors and deadlines wake it as a posted task does.
///
/// The main thread is the one that claimed the queue (claimMainThread()) or,
/// failing that, the first one that ran it. Running the queue on any other
/// thread throws std::logic_error.
class MainQueue {
public:
    using TaskId = std::uint64_t;

    /// A queue on the real clock with no main thread yet. Code uses mainQueue().
    MainQueue();
    ~MainQueue();
    MainQueue(const MainQueue&) = delete;
    MainQueue& operator=(const MainQueue&) = delete;

    /// Posts `task` to run soon, after tasks already posted. Thread-safe.
    void async(std::function<void()> task);

    /// Posts `task` to run `seconds` from now on the queue's clock (at once
    /// when `seconds` is not positive). Thread-safe. Returns an id for cancel().
    TaskId after(double seconds, std::function<void()> task);

    /// Cancels a task posted with after() that has not run yet; an id that
    /// has run or was cancelled is ignored. Thread-safe.
    void cancel(TaskId id);

    /// True on the thread that runs the queue.
    bool isMainThread() const;

    /// Makes the calling thread the main thread. Throws std::logic_error when
    /// another thread is already the main thread.
    void claimMainThread();

    /// The queue's clock (virtual in tests, real in the app).
    Clock& clock();

    /// Puts the queue on a virtual clock standing at `start` (restarting it
    /// there when it is virtual already). Pending tasks keep their remaining delays.
    void useVirtualClock(Date start = Clock::kVirtualStart);

    /// Puts the queue on the real clock. Pending tasks keep their remaining delays.
    void useRealClock();

    /// Drops every pending task without running it and forgets a pending stop().
    void reset();

    /// The number of tasks posted and not yet run or cancelled.
    std::size_t pendingCount() const;

    /// Runs every task that is due now, including tasks those tasks and the
    /// event sources post, without moving a virtual clock. Returns the number of tasks run.
    std::size_t runUntilIdle();

    /// Moves a virtual clock forward by `seconds`, running every task that
    /// falls due in time order, each with the clock set to its due time, and
    /// leaves the clock at the end of the window. Throws std::logic_error on
    /// the real clock.
    void advance(double seconds);

    /// Runs due tasks and waits (in real time, up to `timeout`) for tasks
    /// posted from other threads until `done` returns true. Returns done().
    /// Sleeps (waiting for the event sources too) between tasks, checking done() after
    /// every task and every few milliseconds. A virtual clock does not move.
    bool runUntil(
        const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(30));

    /// Runs the queue until stop() is called, sleeping while nothing is due.
    /// On the real clock delayed tasks run when their time comes; on a
    /// virtual clock they wait for advance().
    void run();

    /// Makes run() return after the task in progress; when run() is not
    /// running, the next run() returns at once. Thread-safe.
    void stop();

    /// Makes the queue wait for `source` too, until removeSource(). The
    /// source must outlive its registration. Thread-safe.
    void addSource(EventSource& source);
    /// Stops waiting for `source`; its members are not called after this
    /// returns. Call on the main thread (or while the queue does not run).
    void removeSource(EventSource& source);

private:
    struct Key {
        std::int64_t due { 0 };
        TaskId id { 0 };
        auto operator<=>(const Key&) const = default;
    };

    using RealTime = std::chrono::steady_clock::time_point;

    TaskId post(std::int64_t delay, std::function<void()> task);
    /// Ends the main thread's wait.
    void wake();
    /// With m_mutex held through `lock`: when `block`, sleeps until a task is
    /// posted, a source is ready or `until` passes (nullopt: no limit), unless
    /// a task is due or a stop requested already; without `block`, only looks.
    /// Then lets the sources handle what they found. Returns with the lock
    /// held, and whether any source had something ready or due or posted a
    /// task that is due now.
    bool waitForWork(std::unique_lock<std::mutex>& lock, std::optional<RealTime> until, bool block);
    bool runNext(std::optional<std::int64_t> until);
    /// With m_mutex held: true when the first task is due.
    bool hasDueTask() const;
    void rebase(std::int64_t oldSteady);

    mutable std::mutex m_mutex;
    /// Written to wake the main thread from its wait (an eventfd).
    int m_wakeDescriptor { -1 };
    /// True while the main thread waits and needs m_wakeDescriptor to wake.
    bool m_sleeping { false };
    std::vector<EventSource*> m_sources;
    Clock m_clock;
    std::map<Key, std::function<void()>> m_tasks;
    std::unordered_map<TaskId, std::int64_t> m_dueById;
    TaskId m_nextId { 1 };
    bool m_stopRequested { false };
    std::atomic<std::thread::id> m_mainThread {};
};

/// The process's main queue.
MainQueue& mainQueue();

}
