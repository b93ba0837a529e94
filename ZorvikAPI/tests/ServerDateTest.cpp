#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/DeviceEnvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace zorvik::api::test {
namespace {

using platform::foundation::Date;
using platform::foundation::ScopedDeviceEnvironment;

TEST(ServerDate, WritesTheDeviceOffset)
{
    struct Case {
        const char* zone;
        double seconds;
        const char* text;
    };
    const Case cases[] = {
        { "Europe/London", 1456820100, "2016-03-01T08:15:00.000+0000" },
        { "Europe/London", 1467374400.25, "2016-07-01T13:00:00.250+0100" },
        { "Europe/Paris", 1456820100, "2016-03-01T09:15:00.000+0100" },
        { "America/New_York", 1456820100, "2016-03-01T03:15:00.000-0500" },
    };
    for (auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        ScopedDeviceEnvironment device("en_GB", testCase.zone);
        EXPECT_EQ(toServerDateString(Date { testCase.seconds }), testCase.text);
        EXPECT_EQ(serverDateFormatter().pattern(), "yyyy-MM-dd'T'HH:mm:ss.SSSZ");
    }
}

TEST(ServerDate, ReadsBackTheSameInstantInAnyZone)
{
    const Date instant { 1456820100.123 };
    for (auto zone : { "Europe/London", "Asia/Kolkata", "America/New_York" }) {
        SCOPED_TRACE(zone);
        ScopedDeviceEnvironment device("en_GB", zone);
        auto text = toServerDateString(instant);
        auto read = fromServerDateString(text);
        ASSERT_TRUE(read);
        EXPECT_NEAR(read->secondsSince1970, instant.secondsSince1970, 0.0005);
        EXPECT_EQ(fromServerDateString("2016-03-01T09:15:00.000+0100")->secondsSince1970, 1456820100);
        EXPECT_EQ(fromServerDateString("2016-03-01T03:15:00.000-0500")->secondsSince1970, 1456820100);
    }
}

TEST(ServerDate, RejectsTextThatIsNotAServerDate)
{
    for (auto text : { "", "2016-03-01", "2016-03-01T09:15:00+0100", "2016-02-30T09:15:00.000+0100",
             "2016-03-01T09:15:00.000+0100 and more", "yesterday" }) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(fromServerDateString(text));
    }
}

// ICU, reading the server's pattern without leniency, is the oracle: the exact reader must give the same
// instant, to the bit, for every text in the server's format and refuse what ICU refuses.
void expectSameAsIcu(const platform::foundation::DateFormatter& oracle, const std::string& text)
{
    SCOPED_TRACE(text);
    auto icu = oracle.parse(text);
    auto exact = fromServerDateString(text);
    ASSERT_EQ(exact.has_value(), icu.has_value());
    if (exact) {
        EXPECT_EQ(exact->secondsSince1970, icu->secondsSince1970);
    }
}

TEST(ServerDate, ReadsWhatIcuReadsToTheBit)
{
    const char* texts[] = {
        "2016-03-01T09:15:00.000+0100",
        "2016-03-01T09:15:00.000Z",
        "2016-03-01T09:15:00.000+01:00",
        "2016-03-01T09:15:00.000-0000",
        "2016-03-01T09:15:00.999-0530",
        "2016-03-01T09:15:00.000+2359",
        "2016-03-01T09:15:00.000-23:59",
        "1970-01-01T00:00:00.000+0000",
        "1969-12-31T23:59:59.999+0000",
        "9999-12-31T23:59:59.999+0000",
        "2016-02-29T23:59:59.999+0000",
        "2000-02-29T12:00:00.000+0000",
        "1600-02-29T00:00:00.000+0000",
        "2015-12-31T23:59:59.500+1345",
        // Refused by both.
        "2015-02-29T09:15:00.000+0100",
        "1900-02-29T00:00:00.000+0000",
        "2016-04-31T09:15:00.000+0100",
        "0000-01-01T00:00:00.000+0000",
        "2016-13-01T09:15:00.000+0100",
        "2016-00-01T09:15:00.000+0100",
        "2016-03-00T09:15:00.000+0100",
        "2016-03-01T24:00:00.000+0100",
        "2016-03-01T23:60:00.000+0100",
        "2016-03-01T23:59:60.000+0100",
        "2016-03-01T09:15:00.000+2400",
        "2016-03-01T09:15:00.000+0160",
        "2016-03-01T09:15:00.000+1860",
        "2016-03-01t09:15:00.000+0100",
        "2016-03-01T09:15:00,000+0100",
        "2016-3-1T9:15:00.000+0100",
        "-2016-03-01T09:15:00.000+0100",
        "2016-03-01T09:15:00.000+0100 ",
        "2016-03-01T09:15:00.000",
        "2016-03-01T09:15:00.000+",
        "2016-03-01T09:1a:00.000+0100",
        "2016-03-01T09:15:00.000+\xd9\xa0\xd9\xa1\xd9\xa0\xd9\xa0",
    };
    auto oracle = serverDateFormatter();
    for (const char* text : texts)
        expectSameAsIcu(oracle, text);
}

TEST(ServerDate, ReadsEveryDateIcuWritesInAnyZone)
{
    // Instants spread over five centuries from 1950 (before, ICU writes some old offsets to the second),
    // written in zones with whole, half and quarter hour offsets.
    for (auto zone : { "Europe/London", "America/New_York", "Asia/Kolkata", "Pacific/Chatham", "UTC" }) {
        ScopedDeviceEnvironment device("en_GB", zone);
        auto oracle = serverDateFormatter();
        double seconds = -631152000.0;
        for (int step = 0; step < 500; ++step) {
            seconds += 31622400.0 + 3723.456 * step;
            expectSameAsIcu(oracle, oracle.format(Date { std::floor(seconds * 1000) / 1000 }));
        }
    }
}

// Before the Gregorian reform of 1582 ICU counts days in the Julian calendar; the server, as Python, counts
// them in the proleptic Gregorian calendar, and so does the exact reader.
TEST(ServerDate, ReadsEarlyDatesInTheProlepticGregorianCalendar)
{
    EXPECT_EQ(fromServerDateString("0001-01-01T00:00:00.000+0000")->secondsSince1970, -62135596800.0);
    EXPECT_EQ(fromServerDateString("1582-10-04T12:00:00.000+0000")->secondsSince1970, -12220200000.0);
}

// Forms ICU accepts out of leniency that the server never writes: read as no date, so that they cannot
// pass for one.
TEST(ServerDate, RefusesWhatOnlyLeniencyWouldRead)
{
    auto oracle = serverDateFormatter();
    for (auto text : { " 2016-03-01T09:15:00.000+0100", "2016-03-01T09:15:00.000 +0100",
             "2016-03-01T09:15:00.00+0100", "2016-03-01T09:15:00.0000+0100", "2016-03-01T09:15:00.1+0100",
             "02016-03-01T09:15:00.000+0100", "12016-03-01T09:15:00.000+0100", "216-03-01T09:15:00.000+0100",
             "2016-03-01T09:15:00.000+01", "2016-03-01T09:15:00.000+010", "2016-03-01T09:15:00.000+01000",
             "2016-03-01T09:15:00.000GMT+01:00", "2016-03-01T09:15:00.000UTC", "2016-03-01T09:15:00.000z" }) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(oracle.parse(text));
        EXPECT_FALSE(fromServerDateString(text));
    }
}

}
}
