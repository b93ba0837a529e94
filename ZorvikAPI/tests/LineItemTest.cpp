#include "ZorvikAPI/models/LineItem.h"
#include "ZorvikAPI/models/LineItems.h"
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

/// Records the names of the keys it hears about, in order.
class KeyRecorder : public platform::foundation::Observer {
public:
    void observeValue(Dictionary&, const std::string& key, const Change&) override { keys.push_back(key); }
    std::vector<std::string> keys;
};

TEST(LineItem, StartsEmptyWithZeroAmounts)
{
    LineItem line = LineItem::lineItem();
    EXPECT_EQ(line.descriptionOfWork(), "");
    EXPECT_EQ(line.record()->get("unit_price"), Value(0));
    EXPECT_EQ(line.record()->get("quantity"), Value(0));
    EXPECT_EQ(line.record()->get("tax"), Value(0));
    EXPECT_EQ(line.record()->get("net_amount"), Value(0));
    EXPECT_EQ(line.record()->get("gross_amount"), Value(0));
}

TEST(LineItem, DerivesNetAndGrossInWholePence)
{
    struct Case {
        std::int64_t quantity;
        std::int64_t unitPrice;
        double tax;
        std::int64_t net;
        std::int64_t gross;
        const char* exactGross;
    };
    const Case cases[] = {
        { 3, 111, 20, 333, 399, "399.6" },
        { 1, 1000, 20, 1000, 1200, "1200" },
        { 2, 1234, 0, 2468, 2468, "2468" },
        { 3, 111, 17.5, 333, 391, "391.275" },
        { 0, 999, 20, 0, 0, "0" },
    };
    for (auto& testCase : cases) {
        SCOPED_TRACE(std::to_string(testCase.quantity) + " x " + std::to_string(testCase.unitPrice));
        LineItem line = item(testCase.quantity, testCase.unitPrice, testCase.tax);
        EXPECT_EQ(line.netAmount(), testCase.net);
        EXPECT_EQ(line.grossAmount(), testCase.gross);
        EXPECT_EQ(line.record()->get("gross_amount"), Value(testCase.gross));
        EXPECT_EQ(line.exactGrossAmount().decimalString(), testCase.exactGross);
    }
}

TEST(LineItem, SettingTheTaxDerivesGrossOnly)
{
    LineItem line = item(3, 111, 0);
    line.setTax(17.5);
    EXPECT_EQ(line.record()->get("tax"), Value(17.5));
    EXPECT_EQ(line.netAmount(), 333);
    EXPECT_EQ(line.grossAmount(), 391);
    line.setTax(20);
    EXPECT_EQ(line.record()->get("tax"), Value(20));
    EXPECT_EQ(line.grossAmount(), 399);
}

TEST(LineItem, SettersTellTheObserversOfEveryAccessorTheyChange)
{
    LineItem line = LineItem::lineItem();
    auto recorder = std::make_shared<KeyRecorder>();
    for (auto key : { "quantity", "unitPrice", "tax", "netAmount", "grossAmount" })
        line.record()->addObserver(recorder, key);

    line.setQuantity(3);
    EXPECT_EQ(recorder->keys, (std::vector<std::string> { "quantity", "netAmount", "grossAmount" }));
    recorder->keys.clear();
    line.setUnitPrice(111);
    EXPECT_EQ(recorder->keys, (std::vector<std::string> { "unitPrice", "netAmount", "grossAmount" }));
    recorder->keys.clear();
    line.setTax(20);
    EXPECT_EQ(recorder->keys, (std::vector<std::string> { "tax", "grossAmount" }));
}

TEST(LineItem, AbsurdQuantitiesStopAtTheLimit)
{
    LineItem line = item(std::numeric_limits<std::int64_t>::max(), 100, 20);
    EXPECT_EQ(line.netAmount(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(LineItems(Array::make({ line.record(), line.record() })).totalNetAmount(),
        std::numeric_limits<std::int64_t>::max());
}

TEST(LineItems, TotalsTruncateEachItemToWholePence)
{
    // A stored fraction (as an older record may hold) is dropped per item before summing.
    auto fractional = Dictionary::make({ { "net_amount", 333 }, { "gross_amount", 399.6 } });
    auto items = Array::make({ fractional, item(1, 1000, 20).record(), fractional });
    EXPECT_EQ(LineItems(items).totalNetAmount(), 1666);
    EXPECT_EQ(LineItems(items).totalGrossAmount(), 399 + 1200 + 399);
    EXPECT_EQ(LineItems(Array::make()).totalGrossAmount(), 0);
    EXPECT_EQ(LineItems(nullptr).totalNetAmount(), 0);
}

}
}
