#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/Operation.h"

#include <functional>
#include <mutex>
#include <optional>

namespace kit {

/// The base of the kit's operations whose work ends after main() returns (a network request): it keeps its
/// own executing and finished flags under a recursive lock and announces their changes, so a queue counts it
/// as running until markDone().
///
/// Subclasses start their work in main() and call markDone() when it has ended; whoever completes the work
/// calls asyncCompletion() with the outcome first.
class CRNAsyncOperation : public platform::foundation::Operation {
public:
    /// The outcome of the work: no error on success.
    using AsyncCompletion = std::function<void(const std::optional<platform::foundation::Error>& error)>;

    bool isConcurrent() const override { return true; }
    bool isExecuting() const override;
    bool isFinished() const override;

    /// Marks a cancelled operation done at once; else marks it started and calls main().
    void start() override;

    /// Sets executing, announcing "isExecuting".
    void markStarted();
    /// Clears executing, then sets finished, announcing both: the operation has ended.
    void markDone();
    /// True, after marking the operation done, when it is cancelled.
    bool checkForCancellation();

    AsyncCompletion asyncCompletion() const;
    void setAsyncCompletion(AsyncCompletion completion);

protected:
    /// The operation's lock ("com.ember.async-operation-lock"), under which the flags change and their
    /// notices go out.
    mutable std::recursive_mutex m_lock;

private:
    bool m_internalExecuting { false };
    bool m_internalFinished { false };
    AsyncCompletion m_asyncCompletion;
};

}
