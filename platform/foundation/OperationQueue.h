#pragma once

#include "platform/foundation/Operation.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform::foundation {

/// Runs operations on threads of its own, at most maxConcurrentOperationCount() at a time, starting them in
/// the order they were added. An operation counts as running from its start until it has finished (for a
/// concurrent operation, until it announces so), and the queue holds it until then.
///
/// Destroying the queue does not wait: operations already added still start and run to their end, and the
/// queue's threads go away after the last of them. Thread-safe.
class OperationQueue {
public:
    /// Operations run at once unless told otherwise.
    static constexpr std::size_t kDefaultMaxConcurrentOperationCount { 4 };

    explicit OperationQueue(
        std::string name = {}, std::size_t maxConcurrentOperationCount = kDefaultMaxConcurrentOperationCount);
    ~OperationQueue();
    OperationQueue(const OperationQueue&) = delete;
    OperationQueue& operator=(const OperationQueue&) = delete;

    /// Adds `operation` to run when its turn comes. An operation belongs to one queue, once.
    void addOperation(std::shared_ptr<Operation> operation);
    /// Adds a BlockOperation running `block`.
    void addOperation(std::function<void()> block);
    /// Adds every operation in order; with `waitUntilFinished`, returns once they have all finished.
    void addOperations(const std::vector<std::shared_ptr<Operation>>& operations, bool waitUntilFinished);

    /// The operations added and not yet finished, in the order they were added.
    std::vector<std::shared_ptr<Operation>> operations() const;
    /// How many operations are added and not yet finished.
    std::size_t operationCount() const;

    /// Cancels every operation added and not yet finished.
    void cancelAllOperations();
    /// Waits until every operation added so far has finished.
    void waitUntilAllOperationsAreFinished();

    std::size_t maxConcurrentOperationCount() const;
    /// Changes how many operations may run at once (at least 1).
    void setMaxConcurrentOperationCount(std::size_t count);

    const std::string& name() const { return m_name; }

private:
    struct State;

    std::string m_name;
    std::shared_ptr<State> m_state;
};

}
