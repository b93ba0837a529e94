#include "platform/foundation/DateFormatter.h"

#include "platform/foundation/DeviceEnvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using platform::foundation::Date;
using platform::foundation::DateFormatter;
using platform::foundation::ScopedDeviceEnvironment;

namespace {

Date fromMilliseconds(std::int64_t milliseconds)
{
    return Date { static_cast<double>(milliseconds) / 1000 };
}

std::int64_t milliseconds(Date date)
{
    return std::llround(date.secondsSince1970 * 1000);
}

}

// Expected texts from Python's zoneinfo: for each instant t (milliseconds since 1970, UTC) and zone z,
//   d = datetime.fromtimestamp(t / 1000, ZoneInfo(z))
//   d.strftime("%Y-%m-%dT%H:%M:%S.") + "%03d" % (d.microsecond // 1000) + d.strftime("%z")
TEST(DateFormatter, ServerDatesCarryTheDeviceOffsetAndMilliseconds)
{
    struct Case {
        std::int64_t milliseconds;
        const char* timeZone;
        const char* expected;
    };
    const Case cases[] = {
        { 1456823700000, "Europe/London", "2016-03-01T09:15:00.000+0000" },
        { 1464768900123, "Europe/London", "2016-06-01T09:15:00.123+0100" },
        // The last millisecond of GMT and the first of BST on 2026-03-29.
        { 1774745999999, "Europe/London", "2026-03-29T00:59:59.999+0000" },
        { 1774746000000, "Europe/London", "2026-03-29T02:00:00.000+0100" },
        // The last second of BST and the first of GMT on 2026-10-25: 01:xx comes twice.
        { 1792889999000, "Europe/London", "2026-10-25T01:59:59.000+0100" },
        { 1792890000000, "Europe/London", "2026-10-25T01:00:00.000+0000" },
        { 1772953200000, "America/New_York", "2026-03-08T03:00:00.000-0400" },
        { 1782931530500, "Asia/Kolkata", "2026-07-02T00:15:30.500+0530" },
    };
    for (const auto& c : cases) {
        ScopedDeviceEnvironment device("en_GB", c.timeZone);
        EXPECT_EQ(DateFormatter::serverDateFormatter().format(fromMilliseconds(c.milliseconds)), c.expected)
            << c.milliseconds << " in " << c.timeZone;
    }
}

TEST(DateFormatter, ServerDatesAreWrittenTheSameWhateverTheDeviceLocale)
{
    ScopedDeviceEnvironment device("ar_EG", "Europe/London");
    EXPECT_EQ(DateFormatter::serverDateFormatter().format(fromMilliseconds(1464768900123)),
        "2016-06-01T09:15:00.123+0100");
}

// Expected instants from Python: datetime.fromisoformat(text with "Z" written "+00:00").timestamp().
TEST(DateFormatter, ReadsServerDatesWithEveryOffsetForm)
{
    ScopedDeviceEnvironment device("en_GB", "Europe/London");
    struct Case {
        const char* text;
        std::int64_t milliseconds;
    };
    const Case cases[] = {
        { "2016-03-01T09:15:00.000+0100", 1456820100000 },
        { "2016-03-01T09:15:00.000+01:00", 1456820100000 },
        { "2016-03-01T09:15:00.000Z", 1456823700000 },
        { "2016-03-01T09:15:00.250-0530", 1456843500250 },
        // The hour that comes twice in London, told apart by the offset.
        { "2026-10-25T01:30:00.000+0100", 1792888200000 },
        { "2026-10-25T01:30:00.000+0000", 1792891800000 },
    };
    auto formatter = DateFormatter::serverDateFormatter();
    for (const auto& c : cases) {
        auto date = formatter.parse(c.text);
        ASSERT_TRUE(date.has_value()) << c.text;
        EXPECT_EQ(milliseconds(*date), c.milliseconds) << c.text;
    }
}

TEST(DateFormatter, UnreadableServerDatesGiveNothing)
{
    ScopedDeviceEnvironment device("en_GB", "Europe/London");
    auto formatter = DateFormatter::serverDateFormatter();
    for (const char* text : {
             "",
             "garbage",
             "2016-03-01",
             "2016-03-01T09:15:00.000",
             "2016-03-01T09:15:00+0100",
             "2016-03-01T09:15:00.000+0100 and more",
             "2016-13-01T09:15:00.000+0100",
             "2016-02-30T09:15:00.000+0100",
             "2016-03-01T25:15:00.000+0100",
             "2016-03-01 09:15:00.000+0100",
             "\xff\xfe",
         })
        EXPECT_FALSE(formatter.parse(text).has_value()) << text;
}

TEST(DateFormatter, ServerDatesRoundTripToTheMillisecondAcrossTimeZones)
{
    for (const char* zone : { "Europe/London", "America/Los_Angeles", "Australia/Adelaide", "UTC" }) {
        ScopedDeviceEnvironment device("en_GB", zone);
        auto formatter = DateFormatter::serverDateFormatter();
        for (std::int64_t instant : { 0LL, 1456820100001LL, 1774745999999LL, 1792890000999LL, -86400123LL }) {
            auto text = formatter.format(fromMilliseconds(instant));
            auto back = formatter.parse(text);
            ASSERT_TRUE(back.has_value()) << text;
            EXPECT_EQ(milliseconds(*back), instant) << text << " in " << zone;
        }
    }
}

TEST(DateFormatter, DropsTimeBelowTheMillisecondRatherThanRoundingIntoTheNextDay)
{
    ScopedDeviceEnvironment device("en_GB", "UTC");
    EXPECT_EQ(DateFormatter::serverDateFormatter().format(Date { 1798761599.9999 }),
        "2026-12-31T23:59:59.999+0000");
}

// Expected texts from GNU date in the C locale, for example
//   TZ=Europe/London LC_ALL=C date -d @1774827000 "+%d %b %Y|%A|%d %B"
// and from Python's datetime.strftime with the same directives.
TEST(DateFormatter, DateTextsFollowTheDeviceTimeZoneAcrossDaylightSaving)
{
    ScopedDeviceEnvironment device("en_US_POSIX", "Europe/London");
    struct Case {
        double seconds;
        const char* dayMonthYear;
        const char* weekday;
        const char* dayMonth;
    };
    const Case cases[] = {
        { 1772618400, "04 Mar 2026", "Wednesday", "04 March" },
        // 23:30 UTC is already the next day in British Summer Time.
        { 1774827000, "30 Mar 2026", "Monday", "30 March" },
        { 1792971000, "25 Oct 2026", "Sunday", "25 October" },
        { 1798761599, "31 Dec 2026", "Thursday", "31 December" },
        { 1788222600, "01 Sep 2026", "Tuesday", "01 September" },
    };
    DateFormatter dayMonthYear("dd MMM yyyy");
    DateFormatter weekday("EEEE");
    DateFormatter dayMonth("dd MMMM");
    for (const auto& c : cases) {
        EXPECT_EQ(dayMonthYear.format(Date { c.seconds }), c.dayMonthYear);
        EXPECT_EQ(weekday.format(Date { c.seconds }), c.weekday);
        EXPECT_EQ(dayMonth.format(Date { c.seconds }), c.dayMonth);
    }
}

TEST(DateFormatter, DateTextsUseTheDeviceLocaleAtCreation)
{
    const Date wednesday4March { 1772618400 };
    struct Case {
        const char* locale;
        const char* weekday;
        const char* dayMonth;
    };
    const Case cases[] = {
        { "en_GB", "Wednesday", "04 March" },
        { "de-DE", "Mittwoch", "04 März" },
        { "fr_FR", "mercredi", "04 mars" },
    };
    for (const auto& c : cases) {
        ScopedDeviceEnvironment device(c.locale, "Europe/London");
        EXPECT_EQ(DateFormatter("EEEE").format(wednesday4March), c.weekday) << c.locale;
        EXPECT_EQ(DateFormatter("dd MMMM").format(wednesday4March), c.dayMonth) << c.locale;
    }
    DateFormatter madeInBritain("EEEE", "en_GB", "Europe/London");
    ScopedDeviceEnvironment later("de_DE", "Europe/Berlin");
    EXPECT_EQ(madeInBritain.format(wednesday4March), "Wednesday");
}

TEST(DateFormatter, APatternWithAnUnknownLetterFormatsNothingAndParsesNothing)
{
    DateFormatter broken("yyyy-MM-dd t", "en_GB", "UTC");
    EXPECT_EQ(broken.format(Date { 0 }), "");
    EXPECT_FALSE(broken.parse("1970-01-01 t").has_value());
}
