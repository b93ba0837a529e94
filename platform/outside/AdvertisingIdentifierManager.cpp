#include "platform/outside/AdvertisingIdentifierManager.h"

#include "platform/foundation/Uuid.h"

#include <atomic>

namespace platform::outside {

namespace {

std::atomic<bool> available { true };

}

std::shared_ptr<AdvertisingIdentifierManager> AdvertisingIdentifierManager::sharedManager()
{
    static const auto manager = std::make_shared<AdvertisingIdentifierManager>();
    return available.load() ? manager : nullptr;
}

void AdvertisingIdentifierManager::setAvailable(bool isAvailable)
{
    available.store(isAvailable);
}

AdvertisingIdentifierManager::AdvertisingIdentifierManager()
    : m_identifier(foundation::Uuid::random().string())
{
}

std::string AdvertisingIdentifierManager::advertisingIdentifier() const
{
    std::lock_guard lock(m_mutex);
    return m_identifier;
}

void AdvertisingIdentifierManager::setAdvertisingIdentifier(std::string identifier)
{
    std::lock_guard lock(m_mutex);
    m_identifier = std::move(identifier);
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
