#include "platform/foundation/Calendar.h"

#include "platform/foundation/DeviceEnvironment.h"

#include <gtest/gtest.h>

#include <cstdint>

using platform::foundation::Calendar;
using platform::foundation::CalendarDifference;
using platform::foundation::Date;
using platform::foundation::DateComponents;
using platform::foundation::ScopedDeviceEnvironment;

namespace {

const Calendar london("Europe/London");

Date at(double seconds)
{
    return Date { seconds };
}

}

// Expected values from Python's zoneinfo, with L = ZoneInfo("Europe/London"):
//   d = datetime.fromtimestamp(t, L); datetime(d.year, d.month, d.day, tzinfo=L).timestamp()
TEST(Calendar, StartOfDayIsLocalMidnightAcrossDaylightSaving)
{
    struct Case {
        double instant;
        double expected;
    };
    const Case cases[] = {
        { 1774785600, 1774742400 }, // 2026-03-29 13:00 BST: the 23-hour day began at 00:00 GMT
        { 1774744200, 1774742400 }, // 2026-03-29 00:30 GMT, before the clocks go forward
        { 1792929600, 1792882800 }, // 2026-10-25 12:00 GMT: the 25-hour day began at 00:00 BST
        { 1792884600, 1792882800 }, // 2026-10-24 23:30 UTC is 00:30 BST on the 25th
    };
    for (const auto& c : cases)
        EXPECT_EQ(london.startOfDay(at(c.instant)).secondsSince1970, c.expected) << c.instant;
}

// Expected values from Python: aware datetimes add timedelta(days=n) on the wall clock, so
//   (datetime(..., tzinfo=L) + timedelta(days=n)).timestamp()
TEST(Calendar, AddingDaysKeepsTheWallClockTime)
{
    struct Case {
        double instant;
        std::int64_t days;
        double expected;
    };
    const Case cases[] = {
        { 1774699200, 1, 1774782000 }, // 2026-03-28 12:00 GMT -> 03-29 12:00 BST, 23 hours on
        { 1774782000, -1, 1774699200 },
        { 1792839600, 1, 1792929600 }, // 2026-10-24 12:00 BST -> 10-25 12:00 GMT, 25 hours on
        { 1792929600, -1, 1792839600 },
        { 1772356500, 30, 1774944900 }, // 2026-03-01 09:15 GMT -> 03-31 09:15 BST
        { 1774744200, 1, 1774827000 }, // 2026-03-29 00:30 GMT -> 03-30 00:30 BST
    };
    for (const auto& c : cases)
        EXPECT_EQ(london.addingDays(at(c.instant), c.days).secondsSince1970, c.expected)
            << c.instant << " + " << c.days;
    EXPECT_DOUBLE_EQ(london.addingDays(at(1774699200.25), 1).secondsSince1970, 1774782000.25);
}

// Expected values from Python, with a and b aware datetimes in L:
//   calendar days = (b.date() - a.date()).days
//   whole days = the largest n for which (a + timedelta(days=n)).timestamp() <= b.timestamp()
//                (the smallest n >= b for b before a)
TEST(Calendar, CountsCalendarDaysAndWholeDaysAcrossDaylightSaving)
{
    struct Case {
        const char* what;
        double from;
        double to;
        std::int64_t calendarDays;
        std::int64_t wholeDays;
    };
    const Case cases[] = {
        { "03-28 23:59 to 03-29 00:01", 1774742340, 1774742460, 1, 0 },
        { "03-28 00:00 to 03-30 00:00, 47 hours", 1774656000, 1774825200, 2, 2 },
        { "10-24 00:00 to 10-26 00:00, 49 hours", 1792796400, 1792972800, 2, 2 },
        { "03-30 00:00 back to 03-28 00:00", 1774825200, 1774656000, -2, -2 },
        { "03-28 12:00 to 03-29 11:30, 22.5 hours", 1774699200, 1774780200, 1, 0 },
        { "03-28 12:00 to 03-29 12:00, 23 hours", 1774699200, 1774782000, 1, 1 },
        { "10-24 12:00 to 10-25 11:30, 24.5 hours", 1792839600, 1792927800, 1, 0 },
        { "10-24 12:00 to 10-25 12:00, 25 hours", 1792839600, 1792929600, 1, 1 },
        { "02-27 18:00 to 03-29 09:00", 1772215200, 1774771200, 30, 29 },
        { "09-26 10:00 to 10-27 09:00", 1790413200, 1793091600, 31, 30 },
        { "the same instant", 1774699200, 1774699200, 0, 0 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(london.calendarDaysBetween(at(c.from), at(c.to)), c.calendarDays) << c.what;
        EXPECT_EQ(london.wholeDaysBetween(at(c.from), at(c.to)), c.wholeDays) << c.what;
    }
}

TEST(Calendar, CalendarDaysDependOnTheTimeZone)
{
    // 2026-03-29 23:30 UTC is already Monday the 30th in London but still Sunday in UTC.
    const Date sunday2330Utc { 1774827000 };
    const Date sundayNoonUtc { 1774785600 };
    EXPECT_EQ(Calendar("UTC").calendarDaysBetween(sundayNoonUtc, sunday2330Utc), 0);
    EXPECT_EQ(london.calendarDaysBetween(sundayNoonUtc, sunday2330Utc), 1);
}

TEST(Calendar, TodayAndYesterdayFollowLocalDays)
{
    const Date now { 1774785600 }; // 2026-03-29 13:00 BST
    struct Case {
        double date;
        bool today;
        bool yesterday;
    };
    const Case cases[] = {
        { 1774742400, true, false }, // 00:00 GMT, the start of the 29th
        { 1774825199, true, false }, // 23:59:59 BST, later today
        { 1774742399, false, true }, // 23:59:59 GMT on the 28th
        { 1774656000, false, true }, // 00:00 on the 28th
        { 1774655999, false, false }, // the 27th
        { 1774825200, false, false }, // 00:00 BST on the 30th, tomorrow
    };
    for (const auto& c : cases) {
        EXPECT_EQ(london.isToday(at(c.date), now), c.today) << c.date;
        EXPECT_EQ(london.isYesterday(at(c.date), now), c.yesterday) << c.date;
    }
}

// Expected values from Python: e = datetime.fromtimestamp(t + n * 86400, L);
//   datetime(e.year, e.month, e.day, 11, 55, 0, tzinfo=L).timestamp()
TEST(Calendar, SettingTheTimeOfDayUsesThatDaysOffset)
{
    struct Case {
        double instant;
        double expected;
    };
    const Case cases[] = {
        { 1773159607 + 18 * 86400, 1774698900 }, // 2026-03-28 11:55 GMT
        { 1790838000 + 28 * 86400, 1793274900 }, // 2026-10-29 11:55 GMT, after the change back
        { 1774771200, 1774781700 }, // 2026-03-29 11:55 BST, on the day of the change
    };
    for (const auto& c : cases)
        EXPECT_EQ(london.settingTime(at(c.instant), 11, 55, 0).secondsSince1970, c.expected) << c.instant;
}

TEST(Calendar, ComponentsAndDatesConvertBothWays)
{
    DateComponents components = london.components(at(1774785600));
    EXPECT_EQ(components, (DateComponents { 2026, 3, 29, 13, 0, 0, 1 }));
    EXPECT_EQ(london.date({ 2026, 3, 29, 13, 0, 0, 0 }).secondsSince1970, 1774785600);
    // 01:30 does not exist on 2026-03-29 in London; it is read as 02:30 BST (01:30 UTC).
    EXPECT_EQ(london.date({ 2026, 3, 29, 1, 30, 0, 0 }).secondsSince1970, 1774747800);
}

// Expected by counting on the calendar: 2025-01-10 + 1 year = 2026-01-10, + 2 months = 2026-03-10,
// + 1 week = 2026-03-17, + 3 days = 2026-03-20.
TEST(Calendar, DifferenceCountsYearsThenMonthsThenWeeksThenDays)
{
    Date from = london.date({ 2025, 1, 10, 9, 0, 0, 0 });
    Date to = london.date({ 2026, 3, 20, 9, 0, 0, 0 });
    EXPECT_EQ(london.difference(from, to), (CalendarDifference { 1, 2, 1, 3 }));
    EXPECT_EQ(london.difference(to, from), (CalendarDifference { -1, -2, -1, -3 }));
    EXPECT_EQ(london.difference(from, london.date({ 2025, 1, 16, 9, 0, 0, 0 })),
        (CalendarDifference { 0, 0, 0, 6 }));
}

TEST(Calendar, DefaultCalendarTakesTheDeviceTimeZoneAtCreation)
{
    ScopedDeviceEnvironment device("en_GB", "Asia/Tokyo");
    Calendar calendar;
    EXPECT_EQ(calendar.timeZoneIdentifier(), "Asia/Tokyo");
    EXPECT_EQ(Calendar("Nowhere/Special").calendarDaysBetween(at(0), at(86400)), 1);
}

TEST(Calendar, CalendarsMadeInTurnForDifferentZonesKeepTheirOwnZone)
{
    // A thread hands out copies of the calendar it made last: each new zone, the device's included, must
    // get a calendar of its own. Sunday 12:00 and 23:30 UTC fall on two days in London and Tokyo only.
    const Date sundayNoonUtc { 1774785600 };
    const Date sunday2330Utc { 1774827000 };
    struct Case {
        const char* zone;
        std::int64_t days;
    };
    for (auto [zone, days] : { Case { "Europe/London", 1 }, Case { "UTC", 0 }, Case { "Europe/London", 1 },
             Case { "America/New_York", 0 }, Case { "Asia/Tokyo", 1 } }) {
        Calendar named(zone);
        EXPECT_EQ(named.timeZoneIdentifier(), zone);
        EXPECT_EQ(named.calendarDaysBetween(sundayNoonUtc, sunday2330Utc), days) << zone;
        ScopedDeviceEnvironment device("en_GB", zone);
        EXPECT_EQ(Calendar().calendarDaysBetween(sundayNoonUtc, sunday2330Utc), days) << zone;
    }
}
