#pragma once

#include "Zorvik/Models/AddressBookContact.h"
#include "platform/foundation/Value.h"

#include <string>
#include <variant>

namespace zorvik {

/// What a search screen hands its controller when the user picks something: the typed text (an editable
/// search's done button), a business record (a company row, or the company source's typed-term row) or a
/// device contact's address (a contact row, or the contact source's typed-term row).
using SearchItem = std::variant<std::string, platform::foundation::DictionaryRef, AddressBookContact>;

}
