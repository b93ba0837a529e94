#include "ZorvikAPI/models/Contact.h"

#include "ZorvikAPI/models/Business.h"
#include "platform/foundation/Dictionary.h"

namespace zorvik::api {

using platform::foundation::Dictionary;
using platform::foundation::Value;

Contact Contact::withEmail(const std::optional<std::string>& email, const std::optional<Business>& business)
{
    Contact contact(Dictionary::make());
    contact.setContact(email);
    contact.setBusiness(business);
    return contact;
}

std::optional<std::string> Contact::contact() const
{
    return text("contact");
}

void Contact::setContact(const std::optional<std::string>& contact) const
{
    m_record->set("contact", contact ? Value(*contact) : Value());
}

std::optional<Business> Contact::business() const
{
    if (auto record = m_record->get("business").dictionary())
        return Business(record);
    return std::nullopt;
}

void Contact::setBusiness(const std::optional<Business>& business) const
{
    m_record->set("business", business ? Value(business->record()) : Value());
}

}
