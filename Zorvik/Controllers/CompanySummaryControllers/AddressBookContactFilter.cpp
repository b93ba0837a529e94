#include "Zorvik/Controllers/CompanySummaryControllers/AddressBookContactFilter.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <numeric>

namespace zorvik {

namespace {

// `text` case-folded by Unicode's full default folding ("Straße" and "STRASSE" both give "strasse").
std::string foldedCase(std::string_view text)
{
    auto unicode = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int32_t(text.size())));
    unicode.foldCase(U_FOLD_CASE_DEFAULT);
    std::string folded;
    unicode.toUTF8String(folded);
    return folded;
}

}

AddressBookContactFilter::AddressBookContactFilter(const std::vector<platform::ui::Contact>& contacts)
{
    std::vector<AddressBookContact> entries;
    std::vector<Keys> keys;
    for (const auto& contact : contacts) {
        Keys names { foldedCase(contact.givenName), foldedCase(contact.familyName), {},
            foldedCase(contact.givenName + " " + contact.familyName) };
        for (const auto& address : contact.emailAddresses) {
            entries.emplace_back(contact.givenName, contact.familyName, address);
            keys.push_back(names);
            keys.back().email = foldedCase(address);
        }
    }
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
        [&keys](std::size_t a, std::size_t b) { return keys[a].firstName < keys[b].firstName; });
    m_contacts.reserve(order.size());
    m_keys.reserve(order.size());
    for (std::size_t index : order) {
        m_contacts.push_back(std::move(entries[index]));
        m_keys.push_back(std::move(keys[index]));
    }
}

std::vector<AddressBookContact> AddressBookContactFilter::matching(std::string_view term) const
{
    std::string folded = foldedCase(term);
    auto begins = [&folded](const std::string& field) { return field.starts_with(folded); };
    std::vector<AddressBookContact> found;
    for (std::size_t index = 0; index < m_contacts.size(); ++index) {
        const Keys& keys = m_keys[index];
        if (begins(keys.firstName) || begins(keys.familyName) || begins(keys.email) || begins(keys.fullName))
            found.push_back(m_contacts[index]);
    }
    return found;
}

}
