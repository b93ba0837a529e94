#include "platform/ui/Device.h"

#include "platform/foundation/Defaults.h"
#include "platform/foundation/NotificationCenter.h"

namespace platform::ui {

namespace {

constexpr const char* kVendorIdentifierKey { "DeviceIdentifierForVendor" };

// The identifier kept from an earlier launch, or a new one kept from now on; nullopt when it cannot be kept.
std::optional<foundation::Uuid> keptIdentifierForVendor()
{
    auto defaults = foundation::Defaults::standard();
    if (auto kept = defaults->string(kVendorIdentifierKey))
        if (auto identifier = foundation::Uuid::fromString(*kept))
            return identifier;
    auto identifier = foundation::Uuid::random();
    if (!defaults->setValue(kVendorIdentifierKey, identifier.string()))
        return std::nullopt;
    return identifier;
}

}

Device& Device::current()
{
    static Device device;
    return device;
}

void Device::setOrientation(DeviceOrientation orientation)
{
    if (m_orientation.exchange(orientation) != orientation)
        foundation::NotificationCenter::defaultCenter().post(orientationDidChangeNotification, this);
}

std::optional<foundation::Uuid> Device::identifierForVendor() const
{
    std::lock_guard lock(m_mutex);
    if (!m_identifierForVendorSet) {
        m_identifierForVendor = keptIdentifierForVendor();
        m_identifierForVendorSet = true;
    }
    return m_identifierForVendor;
}

void Device::setIdentifierForVendor(std::optional<foundation::Uuid> identifier)
{
    std::lock_guard lock(m_mutex);
    m_identifierForVendor = identifier;
    m_identifierForVendorSet = true;
}

}
