#pragma once

#include <string>

namespace zorvik {

/// The opener of the contact e-mail picker, told the address the user picked.
class AddressBookContactSearchViewDelegate {
public:
    virtual ~AddressBookContactSearchViewDelegate() = default;

    /// The user picked `email`: a contact's address, or the text typed into the search.
    virtual void addContactEmailFromSearch(const std::string& email) = 0;
};

}
