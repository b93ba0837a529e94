#include "ZorvikAPI/models/VATRegistration.h"
#include "platform/foundation/Dictionary.h"

namespace zorvik::api {

using platform::foundation::Dictionary;

VATRegistration VATRegistration::withIsRegistered(bool isRegistered, std::string_view registrationNumber)
{
    return VATRegistration(Dictionary::make(
        { { "is_registered", isRegistered }, { "registration_number", registrationNumber } }));
}

bool VATRegistration::isRegistered() const
{
    return m_record->get("is_registered").boolValue();
}

std::optional<std::string> VATRegistration::registrationNumber() const
{
    return text("registration_number");
}

}
