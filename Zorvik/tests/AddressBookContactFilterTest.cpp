#include "Zorvik/Controllers/CompanySummaryControllers/AddressBookContactFilter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::Contact;

const std::vector<Contact> kContacts {
    { "bob", "Jones", { "bob@jones.org" } },
    { "Anna", "Smith", { "anna@home.com", "a.smith@work.com" } },
    { "Dan", "Brown", {} },
    { "", "", { "nobody@example.com" } },
    { "\u00c9mile", "Zola", { "emile@zola.fr" } },
    { "Gr\u00fc\u00dfe", "Stra\u00dfe", { "gs@example.de" } },
    { "Chris", "", { "xyz@example.com" } },
};

std::vector<std::string> emails(const std::vector<AddressBookContact>& contacts)
{
    std::vector<std::string> addresses;
    for (const auto& contact : contacts)
        addresses.push_back(contact.email().value_or("-"));
    return addresses;
}

TEST(AddressBookContactFilterTest, OneEntryPerAddressSortedByFirstNameWithoutCase)
{
    AddressBookContactFilter filter(kContacts);
    EXPECT_THAT(emails(filter.contacts()),
        ::testing::ElementsAre("nobody@example.com", "anna@home.com", "a.smith@work.com", "bob@jones.org",
            "xyz@example.com", "gs@example.de", "emile@zola.fr"))
        << "no entry for Dan, who has no address; Anna's two in her own order; letters in code point order";
    EXPECT_EQ(filter.contacts()[1], AddressBookContact("Anna", "Smith", "anna@home.com"));
}

TEST(AddressBookContactFilterTest, ATermFindsTheEntriesWithAFieldBeginningWithIt)
{
    struct Case {
        const char* term;
        std::vector<std::string> found;
    } cases[] = {
        { "an", { "anna@home.com", "a.smith@work.com" } },
        { "BOB", { "bob@jones.org" } },
        { "sm", { "anna@home.com", "a.smith@work.com" } },
        { "a.sm", { "a.smith@work.com" } },
        { "anna sm", { "anna@home.com", "a.smith@work.com" } },
        { "mith", {} },
        { "Anna Smith and more", {} },
        { "\u00e9MILE", { "emile@zola.fr" } },
        { "nobody", { "nobody@example.com" } },
        { "STRASS", { "gs@example.de" } },
        { "gr\u00dc\u00df", { "gs@example.de" } },
        { "chris ", { "xyz@example.com" } },
        { "zz", {} },
    };
    AddressBookContactFilter filter(kContacts);
    for (const auto& c : cases)
        EXPECT_EQ(emails(filter.matching(c.term)), c.found) << c.term;
}

TEST(AddressBookContactFilterTest, AnEmptyBookFindsNothing)
{
    EXPECT_THAT(AddressBookContactFilter().matching("a"), ::testing::IsEmpty());
    EXPECT_THAT(AddressBookContactFilter(std::vector<Contact>()).contacts(), ::testing::IsEmpty());
}

}
}
