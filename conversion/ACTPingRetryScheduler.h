#pragma once

#include "conversion/ACTPingRetryQueue.h"

#include <cstdint>
#include <memory>
#include <mutex>

namespace conversion {

/// Drains its retry queue in batches, one every timeBetweenBatches() seconds on the main queue's clock for
/// as long as scheduling goes on. Thread-safe; batches run on the main queue. Hold it by std::shared_ptr:
/// its timer holds it weakly, and releasing it stops it.
class ACTPingRetryScheduler : public std::enable_shared_from_this<ACTPingRetryScheduler> {
public:
    /// Seconds between batches.
    static constexpr double kTimeBetweenBatches { 180 };

    ~ACTPingRetryScheduler();

    /// Runs a batch now and every timeBetweenBatches() after, unless scheduling already.
    void startScheduling();
    /// Stops: a batch already timed does not run.
    void stopScheduling();

    bool isScheduling() const;
    double timeBetweenBatches() const { return m_timeBetweenBatches; }
    ACTPingRetryQueue& retryQueue() { return m_retryQueue; }

private:
    /// With the lock held: retries a batch and times the next.
    void startBatch();
    /// With the lock held: times the next batch for this scheduling session.
    void refreshTimerForNextBatch();

    bool m_scheduling { false };
    double m_timeBetweenBatches { kTimeBetweenBatches };
    ACTPingRetryQueue m_retryQueue;
    std::uint64_t m_schedulingSessionID { 0 };
    mutable std::mutex m_lock;
};

}
