#include "Zorvik/DeviceStorage/DeviceSettings.h"

#include "platform/store/ManagedObject.h"

namespace zorvik {

using platform::foundation::Value;

DeviceSettings::DeviceSettings(std::shared_ptr<platform::store::ManagedObject> object)
    : m_object(std::move(object))
{
}

bool DeviceSettings::hasShownAPNSDialog() const
{
    return m_object->value("hasShownAPNSDialog").boolValue();
}

void DeviceSettings::setHasShownAPNSDialog(bool shown)
{
    m_object->setValue("hasShownAPNSDialog", shown);
}

std::optional<platform::foundation::Date> DeviceSettings::timeAppWentToBackground() const
{
    return m_object->value("timeAppWentToBackground").date();
}

void DeviceSettings::setTimeAppWentToBackground(std::optional<platform::foundation::Date> date)
{
    m_object->setValue("timeAppWentToBackground", date ? Value(*date) : Value());
}

}
