#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceComponentSystem.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceSystem.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;

/// Invoices numbered by (prefix, counter) pairs, newest first.
ArrayRef numbered(std::vector<std::pair<std::string, std::string>> references)
{
    auto invoices = Array::make();
    for (auto& [prefix, counter] : references) {
        Invoice invoice = Invoice::invoice();
        invoice.setReferencePrefix(prefix, counter);
        invoices->append(invoice.record());
    }
    return invoices;
}

std::string text(const Reference& reference)
{
    return reference.prefix() + "|" + reference.counter();
}

SequentialReferenceComponentSystem over(ArrayRef invoices)
{
    return SequentialReferenceComponentSystem::sequentialReferenceComponentSystemWithInvoices(
        std::move(invoices));
}

TEST(SequentialReferenceComponentSystem, NextReferenceFollowsTheNewestInvoice)
{
    struct Case {
        std::string prefix;
        std::string counter;
        std::string expected;
    };
    const Case cases[] = {
        { "INV-", "009", "INV-|010" },
        { "INV-", "999", "INV-|1000" },
        { "", "099", "|100" },
        { "", "9", "|10" },
        { "A", "007", "A|008" },
        { "A", "", "A|1" },
        { "A", "x", "A|1" },
        { "A", "0000", "A|0001" },
    };
    for (auto& testCase : cases) {
        SCOPED_TRACE(testCase.prefix + testCase.counter);
        auto invoices = numbered({ { testCase.prefix, testCase.counter }, { "OLD-", "500" } });
        EXPECT_EQ(text(over(invoices).nextReference()), testCase.expected);
    }
    EXPECT_EQ(text(over(Array::make()).nextReference()), "|001");
    EXPECT_EQ(text(over(nullptr).nextReference()), "|001");

    // An invoice with a plain reference only counts as an empty prefix with that counter.
    auto plain = Array::make({ Dictionary::make({ { "reference", "0042" } }) });
    EXPECT_EQ(text(over(plain).nextReference()), "|0043");
}

TEST(SequentialReferenceComponentSystem, WorksPerPrefix)
{
    auto system = over(numbered({ { "A", "005" }, { "B", "002" }, { "A", "004" } }));
    EXPECT_EQ(text(system.nextReferenceForPrefix("B")), "B|003");
    EXPECT_EQ(text(system.nextReferenceForPrefix("A")), "A|006");
    EXPECT_EQ(text(system.nextReferenceForPrefix("C")), "C|001") << "an unused prefix starts its own count";
    EXPECT_EQ(text(system.nextReferenceForPrefix("")), "|001");
    EXPECT_EQ(text(system.lastUsedReferenceForPrefix("A")), "A|005");
    EXPECT_EQ(text(system.lastUsedReferenceForPrefix("C")), "C|000");
    EXPECT_EQ(system.filterArrayWithPrefix("A")->size(), 2u);
    EXPECT_EQ(system.filterArrayWithPrefix("a")->size(), 0u);
}

TEST(SequentialReferenceComponentSystem, DecidesWhichReferencesMayBeUsed)
{
    auto system = over(numbered({ { "A", "004" }, { "A", "007" }, { "B", "002" } }));
    struct Case {
        std::string prefix;
        std::string counter;
        bool exists;
        bool valid;
    };
    const Case cases[] = {
        { "NEW", "0", false, true },
        { "NEW", "1", false, true },
        { "NEW", "57", false, true },
        { "A", "004", true, false },
        { "A", "4", true, false },
        { "A", "003", false, false },
        { "A", "005", false, true },
        { "A", "012", false, true },
        { "A", "7", true, false },
        { "a", "004", false, true },
        { "B", "001", false, false },
        { "B", "000", false, false },
    };
    for (auto& testCase : cases) {
        SCOPED_TRACE(testCase.prefix + "/" + testCase.counter);
        auto reference = Reference::referenceWithPrefix(testCase.prefix, testCase.counter);
        EXPECT_EQ(system.referenceExists(reference), testCase.exists);
        EXPECT_EQ(system.referenceIsValid(reference), testCase.valid);
    }
}

TEST(SequentialReferenceComponentSystem, ReadsAPlainReferenceAsAnEmptyPrefix)
{
    auto invoices = numbered({ { "A", "004" } });
    invoices->append(Dictionary::make({ { "reference", "0042" } }));
    auto system = over(invoices);
    EXPECT_TRUE(system.referenceExists(Reference::referenceWithPrefix("", "42")));
    EXPECT_FALSE(system.referenceIsValid(Reference::referenceWithPrefix("", "41")));
    EXPECT_TRUE(system.referenceIsValid(Reference::referenceWithPrefix("", "43")));
    EXPECT_EQ(text(system.nextReferenceForPrefix("")), "|0043");
    EXPECT_EQ(system.filterArrayWithPrefix("")->size(), 1u);
}

TEST(SequentialReferenceSystem, NumbersByThePlainReference)
{
    EXPECT_EQ(SequentialReferenceSystem::withInvoices(Array::make()).nextReference(), "001");
    auto invoices = Array::make({ Dictionary::make({ { "reference", "41" } }), Dictionary::make() });
    EXPECT_EQ(SequentialReferenceSystem::withInvoices(invoices).nextReference(), "042");
    invoices->replace(0, Dictionary::make({ { "reference", "1234" } }));
    EXPECT_EQ(SequentialReferenceSystem::withInvoices(invoices).nextReference(), "1235");
}

}
}
