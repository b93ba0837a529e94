#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace conversion {

class ACTPinger;

/// The failed pings waiting for their next attempt, oldest first, in memory only; at most kMaxEntries,
/// the overflow dropped. Thread-safe; pings go out on the calling thread (the main thread).
class ACTPingRetryQueue {
public:
    /// Pingers queued at most.
    static constexpr std::size_t kMaxEntries { 500 };

    /// The pingers queued.
    std::size_t count() const;
    /// The pingers one retry() sends at most.
    std::uint64_t maxPingsPerBatch() const { return m_maxPingsPerBatch; }

    /// Appends the pinger unless the queue is full.
    void addPinger(std::shared_ptr<ACTPinger> pinger);
    /// Appends as many of `pingers`, in their order, as the queue has room for.
    void addPingersFromSet(const std::vector<std::shared_ptr<ACTPinger>>& pingers);
    /// Takes up to maxPingsPerBatch() pingers off the front and pings each distinct one (ACTPinger::isEqual)
    /// once.
    void retry();

private:
    std::uint64_t m_maxPingsPerBatch { 50 };
    std::deque<std::shared_ptr<ACTPinger>> m_pingerQueue;
    mutable std::mutex m_lock;
};

}
