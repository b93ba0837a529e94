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

}
