#include "kit/core/CRNAsyncOperation.h"

namespace kit {

bool CRNAsyncOperation::isExecuting() const
{
    std::lock_guard lock(m_lock);
    return m_internalExecuting;
}

bool CRNAsyncOperation::isFinished() const
{
    std::lock_guard lock(m_lock);
    return m_internalFinished;
}

void CRNAsyncOperation::start()
{
    if (isCancelled()) {
        markDone();
        return;
    }
    markStarted();
    main();
}

void CRNAsyncOperation::markStarted()
{
    std::lock_guard lock(m_lock);
    willChangeValueForKey("isExecuting");
    m_internalExecuting = true;
    didChangeValueForKey("isExecuting");
}

void CRNAsyncOperation::markDone()
{
    std::lock_guard lock(m_lock);
    willChangeValueForKey("isExecuting");
    m_internalExecuting = false;
    didChangeValueForKey("isExecuting");
    willChangeValueForKey("isFinished");
    m_internalFinished = true;
    didChangeValueForKey("isFinished");
}

bool CRNAsyncOperation::checkForCancellation()
{
    if (!isCancelled())
        return false;
    markDone();
    return true;
}

CRNAsyncOperation::AsyncCompletion CRNAsyncOperation::asyncCompletion() const
{
    std::lock_guard lock(m_lock);
    return m_asyncCompletion;
}

void CRNAsyncOperation::setAsyncCompletion(AsyncCompletion completion)
{
    std::lock_guard lock(m_lock);
    m_asyncCompletion = std::move(completion);
}

}
