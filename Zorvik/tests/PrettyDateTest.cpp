#include "Zorvik/Models/PrettyDate.h"
#include "Zorvik/Models/DateCalculator.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::foundation::Date;

Date at(const char* serverDate)
{
    return *api::fromServerDateString(serverDate);
}

class PrettyDateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Wednesday 14 January 2015, 12:00 in London.
        platform::foundation::mainQueue().useVirtualClock(at("2015-01-14T12:00:00.000+0000"));
    }

    platform::foundation::ScopedDeviceEnvironment device { "en_GB", "Europe/London" };
};

TEST_F(PrettyDateTest, FriendlyDates)
{
    struct Case {
        const char* date;
        const char* text;
    };
    const Case cases[] = {
        { "2015-01-14T23:59:00.000+0000", "today" },
        { "2015-01-14T00:00:00.000+0000", "today" },
        { "2015-01-13T23:59:59.000+0000", "yesterday" },
        { "2015-01-13T00:00:00.000+0000", "yesterday" },
        { "2015-01-12T23:59:00.000+0000", "Monday" },
        { "2015-01-07T13:00:00.000+0000", "Wednesday" },
        { "2015-01-07T12:00:00.000+0000", "07 January" },
        { "2014-03-04T09:00:00.000+0000", "04 March" },
        { "2015-01-16T09:00:00.000+0000", "Friday" },
    };
    for (const auto& [date, text] : cases) {
        SCOPED_TRACE(date);
        EXPECT_EQ(prettyFormatDate(at(date)), text);
    }
}

TEST_F(PrettyDateTest, NamesFollowTheDeviceLocale)
{
    platform::foundation::ScopedDeviceEnvironment german("de_DE", "Europe/London");
    EXPECT_EQ(prettyFormatDate(at("2015-01-12T09:00:00.000+0000")), "Montag");
    EXPECT_EQ(prettyFormatDate(at("2014-03-04T09:00:00.000+0000")), "04 März");
}

TEST_F(PrettyDateTest, RelativeTextTakesTheLargestWholeUnit)
{
    struct Case {
        const char* date;
        const char* text;
    };
    const Case cases[] = {
        { "2013-11-14T12:00:00.000+0000", "1 year" },
        { "2012-12-01T12:00:00.000+0000", "2 years" },
        { "2014-10-14T12:00:00.000+0100", "3 months" },
        { "2015-01-06T12:00:00.000+0000", "1 week" },
        { "2015-01-11T12:00:00.000+0000", "3 days" },
        { "2015-01-13T12:00:00.000+0000", "1 day" },
        { "2015-01-14T07:00:00.000+0000", "" },
        { "2015-01-20T12:00:00.000+0000", "" },
    };
    for (const auto& [date, text] : cases) {
        SCOPED_TRACE(date);
        EXPECT_EQ(relativeFormat(at(date)), text);
    }
}

TEST_F(PrettyDateTest, PluralFromTwo)
{
    EXPECT_EQ(formatPlural("day", 0), "0 day");
    EXPECT_EQ(formatPlural("day", 1), "1 day");
    EXPECT_EQ(formatPlural("week", 2), "2 weeks");
    EXPECT_EQ(formatPlural("year", 11), "11 years");
}

TEST_F(PrettyDateTest, CalendarDaysAgainstElapsedDays)
{
    struct Case {
        const char* from;
        const char* to;
        std::int64_t calendarDays;
        std::int64_t elapsedDays;
    };
    const Case cases[] = {
        { "2015-01-13T23:59:00.000+0000", "2015-01-14T00:01:00.000+0000", 1, 0 },
        { "2015-01-14T00:01:00.000+0000", "2015-01-13T23:59:00.000+0000", -1, 0 },
        { "2015-01-14T00:00:00.000+0000", "2015-01-14T23:59:00.000+0000", 0, 0 },
        // 23 and 25 hours across the changes of 29 March and 25 October 2026 still make one day.
        { "2026-03-28T12:00:00.000+0000", "2026-03-29T12:00:00.000+0100", 1, 1 },
        { "2026-10-24T23:30:00.000+0100", "2026-10-26T00:10:00.000+0000", 2, 1 },
    };
    for (const auto& [from, to, calendarDays, elapsedDays] : cases) {
        SCOPED_TRACE(std::string(from) + " to " + to);
        EXPECT_EQ(DateCalculator::daysBetweenCalendarDatesFrom(at(from), at(to)), calendarDays);
        EXPECT_EQ(DateCalculator::getDifferenceBetweenDatesIncludingTimeFrom(at(from), at(to)), elapsedDays);
    }
}

}
}
