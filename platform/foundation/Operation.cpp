#include "platform/foundation/Operation.h"

namespace platform::foundation {

namespace {

constexpr std::string_view kExecuting { "isExecuting" };
constexpr std::string_view kFinished { "isFinished" };
constexpr std::string_view kCancelled { "isCancelled" };

}

void Operation::start()
{
    if (!isCancelled()) {
        willChangeValueForKey(kExecuting);
        {
            std::lock_guard lock(m_mutex);
            m_executing = true;
        }
        didChangeValueForKey(kExecuting);
        main();
        willChangeValueForKey(kExecuting);
        {
            std::lock_guard lock(m_mutex);
            m_executing = false;
        }
        didChangeValueForKey(kExecuting);
    }
    willChangeValueForKey(kFinished);
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    didChangeValueForKey(kFinished);
}

void Operation::cancel()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_cancelled)
            return;
    }
    willChangeValueForKey(kCancelled);
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    didChangeValueForKey(kCancelled);
}

bool Operation::isCancelled() const
{
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

bool Operation::isExecuting() const
{
    std::lock_guard lock(m_mutex);
    return m_executing;
}

bool Operation::isFinished() const
{
    std::lock_guard lock(m_mutex);
    return m_finished;
}

std::function<void()> Operation::completionBlock() const
{
    std::lock_guard lock(m_mutex);
    return m_completionBlock;
}

void Operation::setCompletionBlock(std::function<void()> block)
{
    std::lock_guard lock(m_mutex);
    m_completionBlock = std::move(block);
}

std::string Operation::name() const
{
    std::lock_guard lock(m_mutex);
    return m_name;
}

void Operation::setName(std::string name)
{
    std::lock_guard lock(m_mutex);
    m_name = std::move(name);
}

void Operation::addStateObserver(StateObserver observer)
{
    std::lock_guard lock(m_mutex);
    m_observers.push_back(std::move(observer));
}

void Operation::waitUntilFinished()
{
    std::unique_lock lock(m_mutex);
    m_finishedCondition.wait(lock, [this] { return m_finishDone; });
}

void Operation::willChangeValueForKey(std::string_view key)
{
    notify(key, ChangePhase::Will);
}

void Operation::didChangeValueForKey(std::string_view key)
{
    notify(key, ChangePhase::Did);
    if (key == kFinished && isFinished())
        handleFinish();
}

void Operation::notify(std::string_view key, ChangePhase phase)
{
    std::vector<StateObserver> observers;
    {
        std::lock_guard lock(m_mutex);
        observers = m_observers;
    }
    for (const auto& observer : observers)
        observer(key, phase);
}

void Operation::handleFinish()
{
    // The operation may be released by whoever its completion tells; keep it until the end is handled.
    auto self = weak_from_this().lock();
    std::function<void()> completion;
    std::function<void()> whenFinished;
    {
        std::lock_guard lock(m_mutex);
        if (m_finishHandled)
            return;
        m_finishHandled = true;
        completion = m_completionBlock;
        whenFinished = m_whenFinished;
    }
    if (completion)
        completion();
    {
        std::lock_guard lock(m_mutex);
        m_finishDone = true;
        m_whenFinished = nullptr;
    }
    m_finishedCondition.notify_all();
    if (whenFinished)
        whenFinished();
}

void Operation::setWhenFinished(std::function<void()> whenFinished)
{
    std::lock_guard lock(m_mutex);
    m_whenFinished = std::move(whenFinished);
}

}
