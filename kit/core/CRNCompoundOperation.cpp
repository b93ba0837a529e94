#include "kit/core/CRNCompoundOperation.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <algorithm>

namespace kit {

using platform::foundation::Error;

CRNCompoundOperation::CRNCompoundOperation(std::vector<std::shared_ptr<CRNAsyncOperation>> operations)
    : m_operations(std::move(operations))
    // The operations wait on the network, not on a thread: all of them run at once.
    , m_compoundQueue("com.cairn.CRNCompoundOperation.queue", std::max<std::size_t>(m_operations.size(), 1))
{
}

void CRNCompoundOperation::main()
{
    {
        std::lock_guard lock(m_lock);
        m_started = true;
    }
    std::weak_ptr<CRNCompoundOperation> weakSelf
        = std::static_pointer_cast<CRNCompoundOperation>(shared_from_this());
    for (const auto& operation : m_operations) {
        auto previous = operation->asyncCompletion();
        operation->setAsyncCompletion([weakSelf, previous](const std::optional<Error>& error) {
            auto self = weakSelf.lock();
            if (self)
                self->record(error);
            if (previous)
                previous(error);
            if (self)
                self->checkForCompletion();
        });
    }
    for (const auto& operation : m_operations)
        m_compoundQueue.addOperation(operation);
    // An empty set has nothing to wait for.
    checkForCompletion();
}

void CRNCompoundOperation::cancel()
{
    bool started;
    {
        std::lock_guard lock(m_lock);
        started = m_started;
    }
    if (!started) {
        for (const auto& operation : m_operations)
            operation->cancel();
        for (const auto& operation : m_operations)
            m_compoundQueue.addOperation(operation);
    } else {
        m_compoundQueue.cancelAllOperations();
    }
    CRNAsyncOperation::cancel();
    if (started)
        checkForCompletion();
}

void CRNCompoundOperation::record(const std::optional<Error>& error)
{
    m_countingQueue.sync([&] {
        if (error)
            m_errors.push_back(*error);
        else
            ++m_completedOperations;
    });
}

void CRNCompoundOperation::checkForCompletion()
{
    // Counting, deciding and claiming the one report happen together, so operations that end at the same
    // moment cannot both report.
    std::optional<std::optional<Error>> outcome;
    m_countingQueue.sync([&] {
        if (m_reported)
            return;
        if (isCancelled()) {
            std::string name = this->name().empty() ? "CRNCompoundOperation" : this->name();
            outcome = Error::withDescription(kErrorDomain, kCancelledCode, name + " cancelled");
        } else if (m_errors.size() + m_completedOperations == m_operations.size()) {
            if (m_errors.empty()) {
                outcome = std::optional<Error> {};
            } else {
                auto descriptions = platform::foundation::Array::make();
                for (const auto& error : m_errors) {
                    descriptions->append(
                        platform::foundation::Dictionary::make({ { "domain", error.domain() },
                            { "code", error.code() }, { "description", error.localizedDescription() } }));
                }
                outcome = Error(kErrorDomain, kFailedCode,
                    platform::foundation::Dictionary::make({ { kUnderlyingErrorsKey, descriptions } }),
                    m_errors);
            }
        }
        if (outcome)
            m_reported = true;
    });
    if (!outcome)
        return;
    markDone();
    AsyncCompletion completion = asyncCompletion();
    setAsyncCompletion(nullptr);
    if (completion)
        completion(*outcome);
}

}
