#include "platform/foundation/NumberFormatter.h"

#include "platform/foundation/DeviceEnvironment.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using platform::foundation::NumberFormatter;
using platform::foundation::ScopedDeviceEnvironment;

TEST(NumberFormatter, PoundsFromPenceToThePennyWhateverTheDeviceLocale)
{
    struct Case {
        std::int64_t pence;
        const char* expected;
    };
    const Case cases[] = {
        { 0, "£0.00" },
        { 5, "£0.05" },
        { 42, "£0.42" },
        { 1480, "£14.80" },
        { -1480, "-£14.80" },
        { -5, "-£0.05" },
        { 123456, "£1,234.56" },
        { 999999999, "£9,999,999.99" },
        // Beyond a double's whole-number precision: still exact.
        { 9007199254740993, "£90,071,992,547,409.93" },
        { std::numeric_limits<std::int64_t>::min(), "-£92,233,720,368,547,758.08" },
    };
    for (const char* device : { "en_GB", "de_DE", "en_US_POSIX" }) {
        ScopedDeviceEnvironment pinned(device, "Europe/London");
        auto pounds = NumberFormatter::poundsFormatter();
        for (const auto& c : cases)
            EXPECT_EQ(pounds.formatScaled(c.pence, 2), c.expected) << c.pence << " with device " << device;
    }
}

TEST(NumberFormatter, GroupedDecimalsPinnedToBritishEnglishIgnoreTheDeviceLocale)
{
    for (const char* device : { "en_GB", "de_DE" }) {
        ScopedDeviceEnvironment pinned(device, "Europe/London");
        NumberFormatter decimal(NumberFormatter::Style::Decimal, "en-GB");
        decimal.setMinimumFractionDigits(2);
        decimal.setMaximumFractionDigits(2);
        EXPECT_EQ(decimal.formatScaled(123456, 2), "1,234.56") << device;
        EXPECT_EQ(decimal.formatScaled(123456789, 2), "1,234,567.89") << device;
        EXPECT_EQ(decimal.formatScaled(500, 2), "5.00") << device;
        EXPECT_EQ(decimal.format(1234.56), "1,234.56") << device;
    }
}

TEST(NumberFormatter, UnpinnedFormattersTakeTheDeviceLocale)
{
    struct Case {
        const char* device;
        const char* decimal;
        const char* currency;
    };
    const Case cases[] = {
        { "en_GB", "1,234.56", "£1,234.56" },
        { "de_DE", "1.234,56", "1.234,56\u00a0€" },
    };
    for (const auto& c : cases) {
        ScopedDeviceEnvironment pinned(c.device, "Europe/London");
        EXPECT_EQ(NumberFormatter(NumberFormatter::Style::Decimal).formatScaled(123456, 2), c.decimal);
        EXPECT_EQ(NumberFormatter(NumberFormatter::Style::Currency).formatScaled(123456, 2), c.currency);
    }
}

TEST(NumberFormatter, PlainStyleWritesDigitsOnly)
{
    NumberFormatter plain(NumberFormatter::Style::Plain, "en_GB");
    EXPECT_EQ(plain.formatScaled(123456, 0), "123456");
    EXPECT_EQ(plain.formatScaled(-7, 0), "-7");
    EXPECT_EQ(plain.format(1234567.0), "1234567");
}

TEST(NumberFormatter, FractionDigitsAndGroupingCanBeSet)
{
    NumberFormatter decimal(NumberFormatter::Style::Decimal, "en_GB");
    EXPECT_EQ(decimal.format(0.1234), "0.123");
    decimal.setMaximumFractionDigits(1);
    // Half-even: 0.25 to one digit is 0.2, 0.35 is 0.4.
    EXPECT_EQ(decimal.formatScaled(25, 2), "0.2");
    EXPECT_EQ(decimal.formatScaled(35, 2), "0.4");
    decimal.setUsesGrouping(false);
    EXPECT_EQ(decimal.formatScaled(1234567, 0), "1234567");
}
