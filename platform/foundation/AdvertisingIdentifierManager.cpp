#include "platform/foundation/AdvertisingIdentifierManager.h"

#include <atomic>

namespace platform::foundation {
namespace {

std::atomic<bool> gAvailable { true };

}

std::shared_ptr<AdvertisingIdentifierManager> AdvertisingIdentifierManager::sharedManager()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* manager
        = new std::shared_ptr<AdvertisingIdentifierManager>(new AdvertisingIdentifierManager);
    return gAvailable ? *manager : nullptr;
}

void AdvertisingIdentifierManager::setAvailable(bool available)
{
    gAvailable = available;
}

Uuid AdvertisingIdentifierManager::advertisingIdentifier() const
{
    std::lock_guard lock(m_mutex);
    if (!m_trackingEnabled)
        return Uuid {};
    if (!m_identifier)
        m_identifier = Uuid::random();
    return *m_identifier;
}

bool AdvertisingIdentifierManager::isAdvertisingTrackingEnabled() const
{
    std::lock_guard lock(m_mutex);
    return m_trackingEnabled;
}

void AdvertisingIdentifierManager::setAdvertisingTrackingEnabled(bool enabled)
{
    std::lock_guard lock(m_mutex);
    m_trackingEnabled = enabled;
}

}
