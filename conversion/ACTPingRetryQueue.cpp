#include "conversion/ACTPingRetryQueue.h"

#include "conversion/ACTPinger.h"

#include <algorithm>

namespace conversion {

std::size_t ACTPingRetryQueue::count() const
{
    std::lock_guard lock(m_lock);
    return m_pingerQueue.size();
}

void ACTPingRetryQueue::addPinger(std::shared_ptr<ACTPinger> pinger)
{
    std::lock_guard lock(m_lock);
    if (pinger && m_pingerQueue.size() < kMaxEntries)
        m_pingerQueue.push_back(std::move(pinger));
}

void ACTPingRetryQueue::addPingersFromSet(const std::vector<std::shared_ptr<ACTPinger>>& pingers)
{
    std::lock_guard lock(m_lock);
    for (const auto& pinger : pingers) {
        if (m_pingerQueue.size() >= kMaxEntries)
            return;
        if (pinger)
            m_pingerQueue.push_back(pinger);
    }
}

void ACTPingRetryQueue::retry()
{
    std::vector<std::shared_ptr<ACTPinger>> batch;
    {
        std::lock_guard lock(m_lock);
        auto taken = std::min<std::size_t>(m_pingerQueue.size(), m_maxPingsPerBatch);
        batch.assign(m_pingerQueue.begin(), m_pingerQueue.begin() + static_cast<std::ptrdiff_t>(taken));
        m_pingerQueue.erase(
            m_pingerQueue.begin(), m_pingerQueue.begin() + static_cast<std::ptrdiff_t>(taken));
    }
    std::vector<std::shared_ptr<ACTPinger>> distinct;
    for (auto& pinger : batch) {
        if (std::none_of(
                distinct.begin(), distinct.end(), [&](const auto& seen) { return seen->isEqual(*pinger); }))
            distinct.push_back(std::move(pinger));
    }
    for (const auto& pinger : distinct)
        pinger->ping();
}

}
