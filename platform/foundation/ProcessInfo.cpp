#include "platform/foundation/ProcessInfo.h"

namespace platform::foundation {

ProcessInfo& ProcessInfo::processInfo()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* shared = new ProcessInfo;
    return *shared;
}

std::uint64_t ProcessInfo::beginActivity(std::uint64_t, const std::string& reason)
{
    std::lock_guard lock(m_mutex);
    auto token = ++m_lastToken;
    m_activities.emplace(token, reason);
    return token;
}

void ProcessInfo::endActivity(std::uint64_t token)
{
    std::lock_guard lock(m_mutex);
    if (m_activities.erase(token) > 0 && m_activities.empty())
        m_ended.notify_all();
}

std::size_t ProcessInfo::activityCount() const
{
    std::lock_guard lock(m_mutex);
    return m_activities.size();
}

void ProcessInfo::waitUntilActivitiesEnd() const
{
    std::unique_lock lock(m_mutex);
    m_ended.wait(lock, [&] { return m_activities.empty(); });
}

}
