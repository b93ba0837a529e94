#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform::foundation {

/// One unit of work, run once by an OperationQueue or by a direct call to start().
///
/// A plain operation does its work in main(): start() marks it executing, calls main() and marks it
/// finished. A concurrent operation (isConcurrent() true) overrides start(), isExecuting() and
/// isFinished(), keeps its own flags, and announces their changes with willChangeValueForKey() and
/// didChangeValueForKey() for the keys "isExecuting" and "isFinished": it ends when it announces that it
/// has finished, not when start() returns. Once finished, the completion block runs (on the thread that
/// finished it), then waitUntilFinished() returns and the queue moves on. Thread-safe.
class Operation : public std::enable_shared_from_this<Operation> {
public:
    /// Whether a change notice comes before or after the change.
    enum class ChangePhase { Will, Did };
    /// Told of each change of a state key, on the thread that makes it.
    using StateObserver = std::function<void(std::string_view key, ChangePhase phase)>;

    virtual ~Operation() = default;

    /// Runs the operation on this thread: when it is cancelled already it only becomes finished; else it
    /// becomes executing, runs main() and becomes finished.
    virtual void start();
    /// The work; the default does nothing.
    virtual void main() { }

    /// Marks the operation cancelled: one not started yet will finish without running main(); one running
    /// may look at isCancelled() and stop early.
    virtual void cancel();
    bool isCancelled() const;

    virtual bool isExecuting() const;
    virtual bool isFinished() const;
    /// Whether the operation keeps its own state flags (see the class comment).
    virtual bool isConcurrent() const { return false; }
    bool isAsynchronous() const { return isConcurrent(); }

    /// The block run once the operation has finished.
    std::function<void()> completionBlock() const;
    void setCompletionBlock(std::function<void()> block);

    /// A name for logs and error texts.
    std::string name() const;
    void setName(std::string name);

    /// Adds an observer of the state keys ("isExecuting", "isFinished", "isCancelled"). Held until the
    /// operation goes away.
    void addStateObserver(StateObserver observer);

    /// Waits until the operation has finished and its completion block has run.
    void waitUntilFinished();

protected:
    /// Announces that the state key `key` is about to change.
    void willChangeValueForKey(std::string_view key);
    /// Announces that the state key `key` has changed; after "isFinished" with isFinished() true, the
    /// operation's end is handled (once).
    void didChangeValueForKey(std::string_view key);

private:
    friend class OperationQueue;

    void notify(std::string_view key, ChangePhase phase);
    void handleFinish();
    void setWhenFinished(std::function<void()> whenFinished);

    mutable std::mutex m_mutex;
    std::condition_variable m_finishedCondition;
    bool m_cancelled { false };
    bool m_executing { false };
    bool m_finished { false };
    bool m_finishHandled { false };
    bool m_finishDone { false };
    std::string m_name;
    std::function<void()> m_completionBlock;
    std::function<void()> m_whenFinished;
    std::vector<StateObserver> m_observers;
};

/// An operation running one block.
class BlockOperation : public Operation {
public:
    explicit BlockOperation(std::function<void()> block)
        : m_block(std::move(block))
    {
    }
    void main() override
    {
        if (m_block)
            m_block();
    }

private:
    std::function<void()> m_block;
};

}
