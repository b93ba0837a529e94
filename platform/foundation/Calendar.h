#pragma once

#include "platform/foundation/Date.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform::foundation {

/// A date's fields on the wall clock of a time zone. Months and days count
/// from 1; weekday is 1 for Sunday to 7 for Saturday.
struct DateComponents {
    int year { 1970 };
    int month { 1 };
    int day { 1 };
    int hour { 0 };
    int minute { 0 };
    int second { 0 };
    int weekday { 5 };

    bool operator==(const DateComponents&) const = default;
};

/// The calendar units between two dates, each after the larger ones are
/// taken off: from 2025-01-10 to 2026-03-20 is 1 year, 2 months, 1 week,
/// 3 days. All fields are negative when `to` is before `from`.
struct CalendarDifference {
    std::int64_t years { 0 };
    std::int64_t months { 0 };
    std::int64_t weeks { 0 };
    std::int64_t days { 0 };

    bool operator==(const CalendarDifference&) const = default;
};

/// The Gregorian calendar in a time zone: days, and adding days, on the wall
/// clock, so that a day across a daylight-saving change is 23 or 25 hours
/// long. Each call works on its own copy, so one Calendar may be shared
/// between threads.
class Calendar {
public:
    /// The calendar of the device time zone as it is now.
    Calendar();

    /// The calendar of the time zone `timeZoneIdentifier`; UTC for an unknown zone.
    explicit Calendar(std::string_view timeZoneIdentifier);

    ~Calendar();
    Calendar(const Calendar&);
    Calendar& operator=(const Calendar&);

    /// The time zone in use, such as "Europe/London".
    std::string timeZoneIdentifier() const;

    /// Midnight at the start of the day on which `date` falls.
    Date startOfDay(Date date) const;

    /// The same wall-clock time `days` calendar days later (earlier when negative).
    Date addingDays(Date date, std::int64_t days) const;

    /// Calendar days from the day of `from` to the day of `to`: 23:59 yesterday to 00:01 today is 1.
    std::int64_t calendarDaysBetween(Date from, Date to) const;

    /// Whole days elapsed from `from` to `to` on the calendar (23:59 to 00:01 the next day is 0; from 12:00
    /// to 12:00 the next day is 1 also across a daylight-saving change).
    std::int64_t wholeDaysBetween(Date from, Date to) const;

    /// Years, months, weeks and days from `from` to `to`.
    CalendarDifference difference(Date from, Date to) const;

    /// True when both dates fall on the same day.
    bool isSameDay(Date first, Date second) const;

    /// True when `date` falls on the day of `now`.
    bool isToday(Date date, Date now) const;

    /// True when `date` falls on the day before the day of `now`.
    bool isYesterday(Date date, Date now) const;

    /// The date of the same day as `date` at hour:minute:second on the wall clock.
    Date settingTime(Date date, int hour, int minute, int second) const;

    /// The wall-clock fields of `date`.
    DateComponents components(Date date) const;

    /// The date at the wall-clock time `components` describes (weekday is
    /// ignored). A time skipped by a daylight-saving change moves forward by
    /// the change (01:30 on a spring-forward day in London is 02:30).
    Date date(const DateComponents& components) const;

private:
    struct Implementation;
    std::unique_ptr<Implementation> m_implementation;
};

}
