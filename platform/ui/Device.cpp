#include "platform/ui/Device.h"

#include "platform/foundation/NotificationCenter.h"

namespace platform::ui {

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
        m_identifierForVendor = foundation::Uuid::random();
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
