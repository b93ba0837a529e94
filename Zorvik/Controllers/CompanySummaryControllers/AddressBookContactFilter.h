#pragma once

#include "Zorvik/Models/AddressBookContact.h"
#include "platform/ui/ContactsStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

/// The device's contacts as the contact search lists them: one entry per e-mail address (a contact without
/// one gives none), sorted once by first name without case (a contact's addresses stay in its own order),
/// with every field's case-folded form kept beside it, so that a search is one linear pass of byte
/// comparisons.
class AddressBookContactFilter {
public:
    /// An empty list.
    AddressBookContactFilter() = default;
    /// The entries of `contacts`, sorted.
    explicit AddressBookContactFilter(const std::vector<platform::ui::Contact>& contacts);

    /// Every entry, sorted.
    const std::vector<AddressBookContact>& contacts() const { return m_contacts; }

    /// The entries a term finds, in the same order: those whose first name, family name, e-mail address or
    /// first and family name joined by a space begin with `term`, compared without case (a term longer than
    /// a field never matches it). Absent names count as empty.
    std::vector<AddressBookContact> matching(std::string_view term) const;

private:
    struct Keys {
        std::string firstName;
        std::string familyName;
        std::string email;
        std::string fullName;
    };

    std::vector<AddressBookContact> m_contacts;
    std::vector<Keys> m_keys;
};

}
