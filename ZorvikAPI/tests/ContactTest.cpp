#include "ZorvikAPI/models/Contact.h"
#include "ZorvikAPI/models/Business.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

TEST(Contact, HoldsAnAddressAndABusiness)
{
    Business acme = Business::withName("Acme");
    Contact contact = Contact::withEmail("ada@acme.example", acme);
    EXPECT_EQ(contact.contact(), "ada@acme.example");
    ASSERT_TRUE(contact.business());
    EXPECT_EQ(contact.business()->record(), acme.record());

    contact.setBusiness(std::nullopt);
    contact.setContact(std::nullopt);
    EXPECT_TRUE(contact.record()->empty());
    EXPECT_EQ(Contact::withEmail(std::nullopt, std::nullopt).record()->size(), 0u);
}

}
}
