#pragma once

#include "kit/core/CRNAsyncOperation.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/OperationQueue.h"

#include <memory>
#include <vector>

namespace kit {

/// Runs a set of asynchronous operations on a queue of its own and finishes when all of them have, or at
/// once when cancelled. Its completion runs once: without an error when every operation succeeded; with
/// code kFailedCode and the failures under kUnderlyingErrorsKey (and Error::underlying) when some failed;
/// with kCancelledCode ("<name> cancelled") when it was cancelled first.
class CRNCompoundOperation : public CRNAsyncOperation {
public:
    static constexpr const char* kErrorDomain { "com.cairn.CRNCompoundOperation.error" };
    static constexpr const char* kUnderlyingErrorsKey {
        "com.cairn.CRNCompoundOperation.error.user-info-key.underlying-errors"
    };
    /// The 32-bit forms of -2 and -3, carried as positive values.
    static constexpr std::int64_t kCancelledCode { 4294967294 };
    static constexpr std::int64_t kFailedCode { 4294967293 };

    explicit CRNCompoundOperation(std::vector<std::shared_ptr<CRNAsyncOperation>> operations);

    const std::vector<std::shared_ptr<CRNAsyncOperation>>& operations() const { return m_operations; }

    /// Wraps each operation's completion to count its outcome, then adds them all to the compound queue.
    void main() override;
    /// Cancels the operations (or, before main(), lets each end at once as cancelled), then the compound
    /// operation, which then completes with the cancelled error.
    void cancel() override;

private:
    void record(const std::optional<platform::foundation::Error>& error);
    void checkForCompletion();

    std::vector<std::shared_ptr<CRNAsyncOperation>> m_operations;
    platform::foundation::OperationQueue m_compoundQueue;
    platform::foundation::DispatchQueue m_countingQueue {
        "com.cairn.CRNCompoundOperation.dispatch-queue.counting-queue"
    };
    std::size_t m_completedOperations { 0 };
    std::vector<platform::foundation::Error> m_errors;
    bool m_started { false };
    bool m_reported { false };
};

}
