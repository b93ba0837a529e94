#include "platform/foundation/MainQueue.h"

#include <algorithm>
#include <stdexcept>

namespace platform::foundation {

namespace {

/// How often runUntil() looks at its condition when no task arrives.
constexpr auto kDonePollInterval = std::chrono::milliseconds(10);

/// The moment of the system's monotonic clock that a real clock's steady reading stands for.
std::chrono::steady_clock::time_point realTime(std::int64_t steadyNanoseconds)
{
    return std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::nanoseconds(steadyNanoseconds)));
}

}

MainQueue::MainQueue() = default;

void MainQueue::async(std::function<void()> task)
{
    post(0, std::move(task));
}

MainQueue::TaskId MainQueue::after(double seconds, std::function<void()> task)
{
    return post(Clock::nanoseconds(seconds), std::move(task));
}

MainQueue::TaskId MainQueue::post(std::int64_t delay, std::function<void()> task)
{
    TaskId id;
    {
        std::lock_guard lock(m_mutex);
        id = m_nextId++;
        std::int64_t due = m_clock.steadyNanoseconds() + delay;
        m_tasks.emplace(Key { due, id }, std::move(task));
        m_dueById.emplace(id, due);
    }
    m_wake.notify_all();
    return id;
}

void MainQueue::cancel(TaskId id)
{
    std::function<void()> cancelled;
    std::lock_guard lock(m_mutex);
    auto found = m_dueById.find(id);
    if (found == m_dueById.end())
        return;
    auto task = m_tasks.find(Key { found->second, id });
    cancelled = std::move(task->second);
    m_tasks.erase(task);
    m_dueById.erase(found);
}

bool MainQueue::isMainThread() const
{
    return m_mainThread.load() == std::this_thread::get_id();
}

void MainQueue::claimMainThread()
{
    std::thread::id none;
    auto self = std::this_thread::get_id();
    if (!m_mainThread.compare_exchange_strong(none, self) && none != self)
        throw std::logic_error("MainQueue: another thread is already the main thread");
}

Clock& MainQueue::clock()
{
    return m_clock;
}

void MainQueue::useVirtualClock(Date start)
{
    std::lock_guard lock(m_mutex);
    auto oldSteady = m_clock.steadyNanoseconds();
    m_clock.useVirtual(start);
    rebase(oldSteady);
}

void MainQueue::useRealClock()
{
    std::lock_guard lock(m_mutex);
    auto oldSteady = m_clock.steadyNanoseconds();
    m_clock.useReal();
    rebase(oldSteady);
}

void MainQueue::rebase(std::int64_t oldSteady)
{
    std::int64_t shift = m_clock.steadyNanoseconds() - oldSteady;
    std::map<Key, std::function<void()>> rebased;
    for (auto& [key, task] : m_tasks)
        rebased.emplace(Key { key.due + shift, key.id }, std::move(task));
    m_tasks = std::move(rebased);
    for (auto& [id, due] : m_dueById)
        due += shift;
}

void MainQueue::reset()
{
    for (;;) {
        std::map<Key, std::function<void()>> dropped;
        {
            std::lock_guard lock(m_mutex);
            m_stopRequested = false;
            if (m_tasks.empty())
                return;
            dropped.swap(m_tasks);
            m_dueById.clear();
        }
    }
}

std::size_t MainQueue::pendingCount() const
{
    std::lock_guard lock(m_mutex);
    return m_tasks.size();
}

bool MainQueue::hasDueTask() const
{
    return !m_tasks.empty() && m_tasks.begin()->first.due <= m_clock.steadyNanoseconds();
}

bool MainQueue::runNext(std::optional<std::int64_t> until)
{
    std::function<void()> task;
    {
        std::lock_guard lock(m_mutex);
        if (m_tasks.empty())
            return false;
        auto first = m_tasks.begin();
        std::int64_t due = first->first.due;
        if (due > until.value_or(m_clock.steadyNanoseconds()))
            return false;
        m_clock.advanceTo(due);
        task = std::move(first->second);
        m_dueById.erase(first->first.id);
        m_tasks.erase(first);
    }
    task();
    return true;
}

std::size_t MainQueue::runUntilIdle()
{
    claimMainThread();
    std::size_t count = 0;
    while (runNext(std::nullopt))
        ++count;
    return count;
}

void MainQueue::advance(double seconds)
{
    claimMainThread();
    std::int64_t until;
    {
        std::lock_guard lock(m_mutex);
        if (!m_clock.isVirtual())
            throw std::logic_error("MainQueue::advance on the real clock");
        until = m_clock.steadyNanoseconds() + Clock::nanoseconds(seconds);
    }
    for (;;) {
        if (runNext(until))
            continue;
        std::lock_guard lock(m_mutex);
        if (m_tasks.empty() || m_tasks.begin()->first.due > until) {
            m_clock.advanceTo(until);
            return;
        }
    }
}

bool MainQueue::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    claimMainThread();
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        runUntilIdle();
        if (done())
            return true;
        std::unique_lock lock(m_mutex);
        auto realNow = std::chrono::steady_clock::now();
        if (realNow >= deadline)
            break;
        if (hasDueTask())
            continue;
        auto wakeAt = std::min(deadline, realNow + kDonePollInterval);
        if (!m_clock.isVirtual() && !m_tasks.empty())
            wakeAt = std::min(wakeAt, realTime(m_tasks.begin()->first.due));
        m_wake.wait_until(lock, wakeAt);
    }
    return done();
}

void MainQueue::run()
{
    claimMainThread();
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            if (m_stopRequested) {
                m_stopRequested = false;
                return;
            }
            if (!hasDueTask()) {
                if (m_tasks.empty() || m_clock.isVirtual())
                    m_wake.wait(lock);
                else
                    m_wake.wait_until(lock, realTime(m_tasks.begin()->first.due));
                continue;
            }
        }
        runNext(std::nullopt);
    }
}

void MainQueue::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = true;
    }
    m_wake.notify_all();
}

MainQueue& mainQueue()
{
    // Never destroyed: background threads and static objects may still post while the process exits.
    static auto* queue = new MainQueue;
    return *queue;
}

}
