#include "ZorvikAPI/models/Invoices.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

DictionaryRef sentTo(std::optional<std::string> email, std::optional<std::string> businessName)
{
    std::optional<Business> business;
    if (businessName)
        business = Business::withName(*businessName);
    return Invoice::invoiceWithDescription(
        "Work", "1", 100, 120, 30, std::nullopt, Contact::withEmail(email, business))
        .record();
}

TEST(Invoices, FindTheLatestAddressUsedForABusiness)
{
    ArrayRef invoices = Array::make({
        sentTo("no-business@example.com", std::nullopt),
        sentTo("new@acme.example", "Acme"),
        sentTo("old@acme.example", "Acme"),
        Dictionary::make(),
        sentTo("bea@example.com", "Bea Ltd"),
    });
    Invoices list(invoices);
    EXPECT_EQ(list.lastEmailAddressForBusiness(Business::withName("Acme")), "new@acme.example");
    EXPECT_EQ(list.lastEmailAddressForBusiness(Business::withName("Bea Ltd")), "bea@example.com");
    EXPECT_EQ(list.lastEmailAddressForBusiness(Business::withName("acme")), std::nullopt);
    EXPECT_EQ(list.lastEmailAddressForBusiness(Business(Dictionary::make())), std::nullopt);
    EXPECT_EQ(Invoices(nullptr).lastEmailAddressForBusiness(Business::withName("Acme")), std::nullopt);
}

TEST(Invoices, SignatureIsTheLastInvoicesOrTheDefault)
{
    EXPECT_EQ(Invoices(Array::make()).signature(), "Thank you");
    Invoice last = Invoice::invoice();
    last.setSignature("Regards");
    EXPECT_EQ(Invoices(Array::make({ Invoice::invoice().record(), last.record() })).signature(), "Regards");
    EXPECT_EQ(Invoices(Array::make({ last.record(), Invoice::invoice().record() })).signature(), "Thank you");
}

TEST(Invoices, TotalsSumEachInvoicesAmounts)
{
    ArrayRef invoices = Array::make({ sentTo("a", "A"), sentTo("b", "B") });
    Invoice(invoices->at(1).dictionary()).record()->set("gross_amount", 399.6);
    EXPECT_EQ(Invoices(invoices).totalNetAmount(), 200);
    EXPECT_EQ(Invoices(invoices).totalGrossAmount(), 120 + 399);
}

}
}
