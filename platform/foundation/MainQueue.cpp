#include "platform/foundation/MainQueue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
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

MainQueue::MainQueue()
    : m_wakeDescriptor(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (m_wakeDescriptor < 0)
        throw std::runtime_error("MainQueue: no eventfd for waking the main thread");
}

MainQueue::~MainQueue()
{
    close(m_wakeDescriptor);
}

void MainQueue::wake()
{
    std::uint64_t one = 1;
    [[maybe_unused]] auto written = write(m_wakeDescriptor, &one, sizeof one);
}

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
    bool sleeping;
    {
        std::lock_guard lock(m_mutex);
        id = m_nextId++;
        std::int64_t due = m_clock.steadyNanoseconds() + delay;
        m_tasks.emplace(Key { due, id }, std::move(task));
        m_dueById.emplace(id, due);
        sleeping = m_sleeping;
    }
    if (sleeping)
        wake();
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
    for (;;) {
        while (runNext(std::nullopt))
            ++count;
        std::unique_lock lock(m_mutex);
        if (!waitForWork(lock, std::nullopt, false))
            return count;
    }
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
        std::unique_lock lock(m_mutex);
        if (waitForWork(lock, std::nullopt, false))
            continue;
        if (m_tasks.empty() || m_tasks.begin()->first.due > until) {
            m_clock.advanceTo(until);
            return;
        }
    }
}

bool MainQueue::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    claimMainThread();
    // A time-out longer than the steady clock can count waits for ever.
    auto started = std::chrono::steady_clock::now();
    auto deadline = timeout >= std::chrono::duration_cast<std::chrono::milliseconds>(RealTime::max() - started)
        ? RealTime::max()
        : started + timeout;
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
        waitForWork(lock, wakeAt, true);
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
                std::optional<RealTime> until;
                if (!m_tasks.empty() && !m_clock.isVirtual())
                    until = realTime(m_tasks.begin()->first.due);
                waitForWork(lock, until, true);
                continue;
            }
        }
        runNext(std::nullopt);
    }
}

void MainQueue::stop()
{
    bool sleeping;
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = true;
        sleeping = m_sleeping;
    }
    if (sleeping)
        wake();
}

void MainQueue::addSource(EventSource& source)
{
    bool sleeping;
    {
        std::lock_guard lock(m_mutex);
        m_sources.push_back(&source);
        sleeping = m_sleeping;
    }
    if (sleeping)
        wake();
}

void MainQueue::removeSource(EventSource& source)
{
    std::lock_guard lock(m_mutex);
    std::erase(m_sources, &source);
}

bool MainQueue::waitForWork(std::unique_lock<std::mutex>& lock, std::optional<RealTime> until, bool block)
{
    if (m_sources.empty() && !block)
        return false;
    std::vector<EventSource*> sources = m_sources;
    lock.unlock();

    // The wake-up descriptor first, then each source's, in order.
    std::vector<pollfd> descriptors { { m_wakeDescriptor, POLLIN, 0 } };
    std::vector<std::size_t> starts;
    std::optional<RealTime> deadline;
    for (auto* source : sources) {
        starts.push_back(descriptors.size());
        if (auto due = source->prepare(descriptors))
            deadline = deadline ? std::min(*deadline, *due) : *due;
    }
    starts.push_back(descriptors.size());
    bool sourcesWait = descriptors.size() > 1 || deadline;
    if (!block && !sourcesWait) {
        lock.lock();
        return false;
    }

    int timeout = 0;
    lock.lock();
    if (block && !hasDueTask() && !m_stopRequested) {
        auto limit = until;
        if (deadline)
            limit = limit ? std::min(*limit, *deadline) : deadline;
        timeout = -1;
        if (limit) {
            auto left
                = std::chrono::ceil<std::chrono::milliseconds>(*limit - std::chrono::steady_clock::now());
            timeout = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, INT_MAX));
        }
        m_sleeping = true;
    }
    lock.unlock();
    poll(descriptors.data(), descriptors.size(), timeout);
    if (descriptors[0].revents) {
        std::uint64_t count;
        [[maybe_unused]] auto read = ::read(m_wakeDescriptor, &count, sizeof count);
    }
    lock.lock();
    m_sleeping = false;
    if (!sourcesWait)
        return false;
    lock.unlock();

    bool found = deadline && std::chrono::steady_clock::now() >= *deadline;
    for (std::size_t index = 0; index < sources.size(); ++index) {
        std::span<const pollfd> own(descriptors.data() + starts[index], starts[index + 1] - starts[index]);
        found
            = found || std::any_of(own.begin(), own.end(), [](const pollfd& entry) { return entry.revents; });
        {
            std::lock_guard registered(m_mutex);
            if (std::find(m_sources.begin(), m_sources.end(), sources[index]) == m_sources.end())
                continue;
        }
        sources[index]->dispatch(own);
    }
    lock.lock();
    // A source may post a task while it handles what it found, or act on a deadline that passed after the
    // look above (an HTTP answer read, a time-out): that task is due now, and the caller must run it
    // before it counts the queue as idle.
    return found || hasDueTask();
}

MainQueue& mainQueue()
{
    // Never destroyed: background threads and static objects may still post while the process exits.
    static auto* queue = new MainQueue;
    return *queue;
}

}
