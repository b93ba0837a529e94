#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/LineItem.h"
#include "ZorvikAPI/tests/LineItemFixture.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Observation.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Array;
using platform::foundation::Change;
using platform::foundation::Dictionary;
using platform::foundation::Value;

TEST(Invoice, ReferenceAndItsComponentsStayTogether)
{
    Invoice invoice(Dictionary::make());
    EXPECT_EQ(invoice.reference(), "");

    invoice.setReference("0042");
    EXPECT_EQ(invoice.reference(), "0042");
    EXPECT_EQ(invoice.referenceComponents().prefix(), "");
    EXPECT_EQ(invoice.referenceComponents().counter(), "0042");

    invoice.setReferencePrefix("INV-", "007");
    EXPECT_EQ(invoice.record()->get("reference"), Value("INV-007"));
    EXPECT_EQ(invoice.reference(), "INV-007");

    // Without components the plain reference is the counter.
    Invoice plain(Dictionary::make({ { "reference", "A12" } }));
    EXPECT_EQ(plain.referenceComponents().prefix(), "");
    EXPECT_EQ(plain.referenceComponents().counter(), "A12");
    // With components they win over a stale plain reference.
    plain.record()->set("reference_components", Dictionary::make({ { "prefix", "B" }, { "counter", "9" } }));
    EXPECT_EQ(plain.reference(), "B9");
}

TEST(Invoice, BuildersLeaveAbsentArgumentsOut)
{
    Invoice empty = Invoice::invoice();
    EXPECT_EQ(empty.descriptionOfWork(), "");
    EXPECT_EQ(empty.reference(), "");
    EXPECT_EQ(empty.referenceComponents().record()->get("counter"), Value(""));
    EXPECT_EQ(empty.record()->get("net_amount"), Value(0));
    EXPECT_EQ(empty.record()->get("gross_amount"), Value(0));
    EXPECT_EQ(empty.record()->get("payment_term"), Value(0));
    EXPECT_FALSE(empty.from());
    EXPECT_FALSE(empty.lineItems());

    Contact recipient = Contact::withEmail("bea@example.com", Business::withName("Bea Ltd"));
    Invoice sparse = Invoice::invoiceWithDescription(
        std::nullopt, std::nullopt, 500, std::nullopt, 30, std::nullopt, recipient);
    EXPECT_FALSE(sparse.record()->contains("description"));
    EXPECT_FALSE(sparse.record()->contains("reference"));
    EXPECT_FALSE(sparse.record()->contains("gross_amount"));
    EXPECT_EQ(sparse.netAmount(), 500);
    EXPECT_EQ(sparse.paymentTerm(), 30);
    ASSERT_TRUE(sparse.to());
    EXPECT_EQ(sparse.to()->contact(), "bea@example.com");

    Invoice numbered = Invoice::invoiceWithDescription(
        "Work", Reference::referenceWithPrefix("INV-", "003"), 100, 120, 30, std::nullopt, std::nullopt);
    EXPECT_EQ(numbered.reference(), "INV-003");
    EXPECT_EQ(numbered.referenceComponents().prefix(), "INV-");
    EXPECT_EQ(numbered.grossAmount(), 120);
}

TEST(Invoice, LineItemsDecideTheAmounts)
{
    Invoice invoice
        = Invoice::invoiceWithDescription("Work", "1", 5000, 6000, 30, std::nullopt, std::nullopt);
    EXPECT_EQ(invoice.netAmount(), 5000);
    EXPECT_EQ(invoice.grossAmount(), 6000);

    invoice.setLineItems(Array::make({ item(3, 111, 20).record(), item(1, 205, 20).record() }));
    EXPECT_EQ(invoice.record()->get("net_amount"), Value(0));
    EXPECT_EQ(invoice.record()->get("gross_amount"), Value(0));
    EXPECT_EQ(invoice.netAmount(), 333 + 205);
    EXPECT_EQ(invoice.grossAmount(), 399 + 246);

    // The line items win even over amounts stored after them.
    invoice.record()->set("net_amount", 1);
    EXPECT_EQ(invoice.netAmount(), 538);

    invoice.setLineItems(Array::make());
    EXPECT_EQ(invoice.netAmount(), 1);
    invoice.setLineItems(nullptr);
    EXPECT_FALSE(invoice.record()->contains("line-items"));
}

TEST(Invoice, AmountSettersTellTheirObservers)
{
    struct Recorder : platform::foundation::Observer {
        void observeValue(Dictionary&, const std::string& key, const Change&) override
        {
            keys.push_back(key);
        }
        std::vector<std::string> keys;
    };
    Invoice invoice = Invoice::invoice();
    auto recorder = std::make_shared<Recorder>();
    invoice.record()->addObserver(recorder, "netAmount");
    invoice.record()->addObserver(recorder, "grossAmount");
    invoice.setNetAmount(100);
    invoice.setGrossAmount(120);
    invoice.setLineItems(Array::make({ item(1, 5, 0).record() }));
    EXPECT_EQ(recorder->keys, (std::vector<std::string> { "netAmount", "grossAmount" }));
}

TEST(Invoice, ReadsSentSignatureAndFolders)
{
    Invoice invoice(Dictionary::make({ { "sent", "2016-03-01T09:15:00.000+0100" } }));
    ASSERT_TRUE(invoice.sent());
    EXPECT_EQ(invoice.sent()->secondsSince1970, 1456820100);
    EXPECT_EQ(invoice.signature(), "Thank you");
    EXPECT_EQ(invoice.folders(), nullptr);

    invoice.setSignature("Cheers");
    EXPECT_EQ(invoice.signature(), "Cheers");
    invoice.record()->set("sent", "1 March 2016");
    EXPECT_FALSE(invoice.sent());
    invoice.record()->set("sent", 1456820100);
    EXPECT_FALSE(invoice.sent());
}

}
}
