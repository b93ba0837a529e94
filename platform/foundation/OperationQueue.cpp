#include "platform/foundation/OperationQueue.h"

#include "platform/foundation/DispatchQueue.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace platform::foundation {

// Shared by the queue and by its operations' end handlers, so that operations outlive the queue object.
struct OperationQueue::State : std::enable_shared_from_this<State> {
    State(std::string name, std::size_t maxConcurrent)
        : maxConcurrent(std::max<std::size_t>(maxConcurrent, 1))
        , threads(std::move(name), DispatchQueue::Kind::Concurrent, this->maxConcurrent)
    {
    }

    // Starts waiting operations while there is room; called with the mutex held.
    void startWaiting(std::unique_lock<std::mutex>& lock)
    {
        std::vector<std::shared_ptr<Operation>> starting;
        while (running < maxConcurrent && !waiting.empty()) {
            starting.push_back(waiting.front());
            waiting.pop_front();
            ++running;
        }
        lock.unlock();
        for (auto& operation : starting)
            threads.async([operation] { operation->start(); });
        lock.lock();
    }

    void finished(const Operation* operation)
    {
        std::unique_lock lock(mutex);
        auto found
            = std::find_if(all.begin(), all.end(), [&](const auto& held) { return held.get() == operation; });
        if (found != all.end())
            all.erase(found);
        --running;
        startWaiting(lock);
        if (all.empty())
            idle.notify_all();
    }

    std::mutex mutex;
    std::condition_variable idle;
    std::size_t maxConcurrent;
    std::size_t running { 0 };
    std::deque<std::shared_ptr<Operation>> waiting;
    std::vector<std::shared_ptr<Operation>> all;
    DispatchQueue threads;
};

OperationQueue::OperationQueue(std::string name, std::size_t maxConcurrentOperationCount)
    : m_name(std::move(name))
    , m_state(std::make_shared<State>(m_name, maxConcurrentOperationCount))
{
}

OperationQueue::~OperationQueue() = default;

void OperationQueue::addOperation(std::shared_ptr<Operation> operation)
{
    if (!operation)
        return;
    // The operation holds the state until it has finished; the state holds the operation until then.
    operation->setWhenFinished(
        [state = m_state, operation = operation.get()] { state->finished(operation); });
    std::unique_lock lock(m_state->mutex);
    m_state->all.push_back(operation);
    m_state->waiting.push_back(std::move(operation));
    m_state->startWaiting(lock);
}

void OperationQueue::addOperation(std::function<void()> block)
{
    addOperation(std::make_shared<BlockOperation>(std::move(block)));
}

void OperationQueue::addOperations(
    const std::vector<std::shared_ptr<Operation>>& operations, bool waitUntilFinished)
{
    for (const auto& operation : operations)
        addOperation(operation);
    if (waitUntilFinished) {
        for (const auto& operation : operations)
            operation->waitUntilFinished();
    }
}

std::vector<std::shared_ptr<Operation>> OperationQueue::operations() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->all;
}

std::size_t OperationQueue::operationCount() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->all.size();
}

void OperationQueue::cancelAllOperations()
{
    for (const auto& operation : operations())
        operation->cancel();
}

void OperationQueue::waitUntilAllOperationsAreFinished()
{
    std::unique_lock lock(m_state->mutex);
    m_state->idle.wait(lock, [this] { return m_state->all.empty(); });
}

std::size_t OperationQueue::maxConcurrentOperationCount() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->maxConcurrent;
}

void OperationQueue::setMaxConcurrentOperationCount(std::size_t count)
{
    std::unique_lock lock(m_state->mutex);
    m_state->maxConcurrent = std::max<std::size_t>(count, 1);
    m_state->startWaiting(lock);
}

}
