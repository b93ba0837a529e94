#include "platform/foundation/DecimalNumber.h"

#include <gtest/gtest.h>

namespace platform::foundation {
namespace {

TEST(DecimalNumberTest, ReadsDecimalTextExactly)
{
    struct Case {
        const char* text;
        std::optional<DecimalNumber> number;
    };
    const Case cases[] = {
        { "0.5", DecimalNumber(5, -1) },
        { "-12.30", DecimalNumber(-123, -1) },
        { "+7", DecimalNumber(7) },
        { ".25", DecimalNumber(25, -2) },
        { "9223372036854775807", DecimalNumber(INT64_MAX) },
        { "9223372036854775808", std::nullopt },
        { "99999999999999999999", std::nullopt },
        { "", std::nullopt },
        { "-", std::nullopt },
        { ".", std::nullopt },
        { "1.2.3", std::nullopt },
        { "1e3", std::nullopt },
        { " 1", std::nullopt },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        EXPECT_EQ(DecimalNumber::fromString(test.text), test.number);
    }
}

TEST(DecimalNumberTest, ScalesByPowersOfTenWithoutRounding)
{
    struct Case {
        const char* text;
        int power;
        Value value;
        const char* written;
    };
    const Case cases[] = {
        { "0.5", 6, Value(500000), "500000" },
        { "0.1", 6, Value(100000), "100000" },
        { "19.99", 6, Value(19990000), "19990000" },
        { "-3.25", 6, Value(-3250000), "-3250000" },
        { "0.0000005", 6, Value(0.5), "0.5" },
        { "0", 6, Value(0), "0" },
        { "9223372036854775807", 6, Value(9223372036854775807e6), "9223372036854775807000000" },
        { "0.05", 0, Value(0.05), "0.05" },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        auto scaled = DecimalNumber::fromString(test.text)->multiplyingByPowerOf10(test.power);
        EXPECT_EQ(scaled.numberValue(), test.value);
        EXPECT_EQ(scaled.stringValue(), test.written);
    }
}

}
}
