#include "conversion/ACTPingRetryScheduler.h"

#include "platform/foundation/MainQueue.h"

namespace conversion {

ACTPingRetryScheduler::~ACTPingRetryScheduler()
{
    stopScheduling();
}

void ACTPingRetryScheduler::startScheduling()
{
    std::lock_guard lock(m_lock);
    if (m_scheduling)
        return;
    m_scheduling = true;
    startBatch();
}

void ACTPingRetryScheduler::stopScheduling()
{
    std::lock_guard lock(m_lock);
    ++m_schedulingSessionID;
    m_scheduling = false;
}

bool ACTPingRetryScheduler::isScheduling() const
{
    std::lock_guard lock(m_lock);
    return m_scheduling;
}

void ACTPingRetryScheduler::startBatch()
{
    m_retryQueue.retry();
    refreshTimerForNextBatch();
}

void ACTPingRetryScheduler::refreshTimerForNextBatch()
{
    auto session = m_schedulingSessionID;
    platform::foundation::mainQueue().after(m_timeBetweenBatches, [weak = weak_from_this(), session] {
        auto scheduler = weak.lock();
        if (!scheduler)
            return;
        std::lock_guard lock(scheduler->m_lock);
        if (scheduler->m_schedulingSessionID == session)
            scheduler->startBatch();
    });
}

}
