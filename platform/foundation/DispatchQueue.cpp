#include "platform/foundation/DispatchQueue.h"

#include "platform/foundation/AlternateSignalStack.h"
#include "platform/foundation/QueueLabels.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <stdexcept>

namespace platform::foundation {

struct DispatchQueue::State {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<std::function<void()>> tasks;
    std::size_t running { 0 };
    bool stopping { false };
    /// The queue's label, for crash reports: lives as long as the last of its threads.
    std::string label;
};

namespace {

/// The queue whose task the current thread runs, if any.
thread_local const void* t_currentQueue { nullptr };

}

DispatchQueue::DispatchQueue(std::string label, Kind kind, std::size_t threadCount)
    : m_label(std::move(label))
    , m_state(std::make_shared<State>())
{
    m_state->label = m_label;
    std::size_t count = kind == Kind::Serial ? 1 : std::max<std::size_t>(threadCount, 1);
    for (std::size_t index = 0; index < count; ++index) {
        m_threads.emplace_back([state = m_state] {
            // A fault on the queue is still reported when it overflowed the thread's stack.
            AlternateSignalStack signalStack;
            t_currentQueue = state.get();
            QueueLabels::enter(state->label.c_str());
            struct Leave {
                ~Leave() { QueueLabels::leave(); }
            } leave;
            for (;;) {
                std::function<void()> task;
                {
                    std::unique_lock lock(state->mutex);
                    state->wake.wait(lock, [&] { return state->stopping || !state->tasks.empty(); });
                    if (state->tasks.empty())
                        return;
                    task = std::move(state->tasks.front());
                    state->tasks.pop_front();
                    ++state->running;
                }
                task();
                task = nullptr;
                std::lock_guard lock(state->mutex);
                --state->running;
                if (state->tasks.empty() && state->running == 0)
                    state->idle.notify_all();
            }
        });
    }
}

DispatchQueue::~DispatchQueue()
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
    }
    m_state->wake.notify_all();
    for (auto& thread : m_threads) {
        if (thread.get_id() == std::this_thread::get_id())
            thread.detach();
        else
            thread.join();
    }
}

DispatchQueue& DispatchQueue::global()
{
    // Never destroyed: work still under way at exit must not outlive its queue.
    static auto* queue = new DispatchQueue("global", Kind::Concurrent);
    return *queue;
}

void DispatchQueue::async(std::function<void()> task)
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->tasks.push_back(std::move(task));
    }
    m_state->wake.notify_one();
}

void DispatchQueue::sync(const std::function<void()>& task)
{
    if (isCurrent()) {
        task();
        return;
    }
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    async([&] {
        task();
        std::lock_guard lock(mutex);
        done = true;
        finished.notify_all();
    });
    std::unique_lock lock(mutex);
    finished.wait(lock, [&] { return done; });
}

void DispatchQueue::waitUntilIdle()
{
    if (isCurrent())
        throw std::logic_error("DispatchQueue::waitUntilIdle from the queue's own task");
    std::unique_lock lock(m_state->mutex);
    m_state->idle.wait(lock, [&] { return m_state->tasks.empty() && m_state->running == 0; });
}

const std::string& DispatchQueue::label() const
{
    return m_label;
}

bool DispatchQueue::isCurrent() const
{
    return t_currentQueue == m_state.get();
}

}
