#pragma once

#include <optional>
#include <string>

namespace zorvik {

/// One e-mail address of a device contact, with the contact's names; any of the three may be absent.
class AddressBookContact {
public:
    /// A contact with no names and no address.
    AddressBookContact() = default;
    /// A contact with the three values.
    AddressBookContact(std::optional<std::string> firstName, std::optional<std::string> familyName,
        std::optional<std::string> email)
        : m_firstName(std::move(firstName))
        , m_familyName(std::move(familyName))
        , m_email(std::move(email))
    {
    }

    /// The contact's first name.
    const std::optional<std::string>& firstName() const { return m_firstName; }
    /// Sets the first name.
    void setFirstName(std::optional<std::string> firstName) { m_firstName = std::move(firstName); }
    /// The contact's family name.
    const std::optional<std::string>& familyName() const { return m_familyName; }
    /// Sets the family name.
    void setFamilyName(std::optional<std::string> familyName) { m_familyName = std::move(familyName); }
    /// The e-mail address.
    const std::optional<std::string>& email() const { return m_email; }
    /// Sets the e-mail address.
    void setEmail(std::optional<std::string> email) { m_email = std::move(email); }

    bool operator==(const AddressBookContact&) const = default;

private:
    std::optional<std::string> m_firstName;
    std::optional<std::string> m_familyName;
    std::optional<std::string> m_email;
};

}
