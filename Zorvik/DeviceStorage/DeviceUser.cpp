#include "Zorvik/DeviceStorage/DeviceUser.h"

#include "platform/store/ManagedObject.h"

namespace zorvik {

using platform::foundation::Bytes;
using platform::foundation::Value;

DeviceUser::DeviceUser(std::shared_ptr<platform::store::ManagedObject> object)
    : m_object(std::move(object))
{
}

std::string DeviceUser::username() const
{
    return m_object->value("username").stringValue();
}

void DeviceUser::setUsername(std::string_view username)
{
    m_object->setValue("username", Value(username));
}

bool DeviceUser::isActiveUser() const
{
    return m_object->value("isActiveUser").boolValue();
}

void DeviceUser::setIsActiveUser(bool active)
{
    m_object->setValue("isActiveUser", active);
}

bool DeviceUser::hasShownBankAccountDetailsDialog() const
{
    return m_object->value("hasShownBankAccountDetailsDialog").boolValue();
}

void DeviceUser::setHasShownBankAccountDetailsDialog(bool shown)
{
    m_object->setValue("hasShownBankAccountDetailsDialog", shown);
}

std::string DeviceUser::logoURL() const
{
    return m_object->value("logoURL").stringValue();
}

void DeviceUser::setLogoURL(std::string_view url)
{
    m_object->setValue("logoURL", Value(url));
}

Bytes DeviceUser::logoImage() const
{
    platform::foundation::Value png = m_object->value("logoImage");
    return png.bytes() ? *png.bytes() : Bytes();
}

void DeviceUser::setLogoImage(Bytes png)
{
    m_object->setValue("logoImage", Value(std::move(png)));
}

}
