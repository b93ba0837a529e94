#include "kit/crash/EMBLoggingQueue.h"

#include <stdexcept>

namespace kit {
namespace {

/// The logging queue whose work the calling thread runs, if any.
thread_local const EMBLoggingQueue* t_currentQueue { nullptr };

}

EMBLoggingQueue::EMBLoggingQueue(std::string label)
    : m_thread(std::move(label))
{
}

void EMBLoggingQueue::sync(const std::function<void()>& task)
{
    if (isCurrent())
        task();
    else
        runInTurn(task);
}

void EMBLoggingQueue::async(std::function<void()> task)
{
    m_thread.async([this, task = std::move(task)] { runInTurn(task); });
}

void EMBLoggingQueue::waitUntilIdle()
{
    // The waiting work needs the turn this caller holds.
    if (isCurrent())
        throw std::logic_error("EMBLoggingQueue::waitUntilIdle from the queue's own work");
    m_thread.waitUntilIdle();
}

bool EMBLoggingQueue::isCurrent() const
{
    return t_currentQueue == this;
}

void EMBLoggingQueue::runInTurn(const std::function<void()>& task)
{
    std::lock_guard turn(m_turn);
    const EMBLoggingQueue* outer = t_currentQueue;
    t_currentQueue = this;
    struct Restore {
        const EMBLoggingQueue* outer;
        ~Restore() { t_currentQueue = outer; }
    } restore { outer };
    task();
}

}
