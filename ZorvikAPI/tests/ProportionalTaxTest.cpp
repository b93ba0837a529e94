#include "ZorvikAPI/models/ProportionalTax.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace zorvik::api::test {
namespace {

struct TaxCase {
    std::int64_t net;
    double rate;
    const char* exactGross;
    std::int64_t wholeGross;
    std::int64_t margin;
};

// The expected values come from Python's exact arithmetic, not from this code:
//     from fractions import Fraction as F; from decimal import Decimal as D
//     g = F(net) * (F(D(rate)) + 100) / 100
//     exact = D(g.numerator) / D(g.denominator); whole = math.trunc(g); margin = whole - net
const TaxCase kCases[] = {
    { 0, 0, "0", 0, 0 },
    { 29, 0, "29", 29, 0 },
    { 205, 20, "246", 246, 41 },
    { 1000, 20, "1200", 1200, 200 },
    { 333, 20, "399.6", 399, 66 },
    { 1234, 20, "1480.8", 1480, 246 },
    { 333, 17.5, "391.275", 391, 58 },
    { 1, 17.5, "1.175", 1, 0 },
    { 111, 17.5, "130.425", 130, 19 },
    { 999999, 17.5, "1174998.825", 1174998, 174999 },
    { -333, 20, "-399.6", -399, -66 },
    { 12345678901, 20, "14814814681.2", 14814814681, 2469135780 },
    { 7, 12.345, "7.86415", 7, 0 },
};

TEST(ProportionalTax, ComputesTheGrossAmountExactly)
{
    for (auto& testCase : kCases) {
        SCOPED_TRACE(std::to_string(testCase.net) + " at " + std::to_string(testCase.rate));
        auto tax = ProportionalTax::proportionalTaxWithTaxRate(testCase.rate, testCase.net);
        EXPECT_EQ(tax.grossAmount().decimalString(), testCase.exactGross);
        EXPECT_EQ(tax.grossAmount().wholePence(), testCase.wholeGross);
        EXPECT_EQ(tax.margin(), testCase.margin);
    }
}

TEST(ProportionalTax, KeepsWholeGrossAmountsWhole)
{
    auto tax = ProportionalTax::proportionalTaxWithTaxRate(20, 1000);
    EXPECT_TRUE(tax.grossAmount().isWhole());
    EXPECT_EQ(tax.grossAmount(), ExactAmount(1200));
    EXPECT_EQ(tax.grossAmount().value(), platform::foundation::Value(1200));

    tax.setNetAmount(333);
    EXPECT_FALSE(tax.grossAmount().isWhole());
    EXPECT_DOUBLE_EQ(tax.grossAmount().doubleValue(), 399.6);
    EXPECT_EQ(tax.grossAmount().value().type(), platform::foundation::Value::Type::Real);

    tax.setTaxRate(0);
    EXPECT_EQ(tax.grossAmount(), ExactAmount(333));
    EXPECT_EQ(ProportionalTax::proportionalTaxWithTaxRate(17.5).netAmount(), 0);
}

TEST(ProportionalTax, SurvivesRatesAndAmountsAtTheLimits)
{
    auto huge = ProportionalTax::proportionalTaxWithTaxRate(20, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(huge.grossAmount().wholePence(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ProportionalTax::proportionalTaxWithTaxRate(std::nan(""), 333).grossAmount(), ExactAmount(333));
    EXPECT_EQ(ProportionalTax::proportionalTaxWithTaxRate(-1e300, std::numeric_limits<std::int64_t>::max())
                  .margin(),
        std::numeric_limits<std::int64_t>::min());
}

}
}
