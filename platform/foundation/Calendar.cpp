#include "platform/foundation/Calendar.h"

#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/IcuText.h"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform::foundation {

namespace {

constexpr double millisecondsPerSecond = 1000;
constexpr double millisecondsPerDay = 86400000;
// The instants ICU's calendars hold, about 5.8 million years either side of 1970.
constexpr double earliestMilliseconds = -184303902528000000.0;
constexpr double latestMilliseconds = 183882168921600000.0;

UDate milliseconds(Date date)
{
    return std::floor(date.secondsSince1970 * millisecondsPerSecond);
}

Date dateFromMilliseconds(UDate value)
{
    return Date { value / millisecondsPerSecond };
}

int32_t clampedToInt32(std::int64_t value)
{
    return static_cast<int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// A Gregorian calendar in `timeZoneIdentifier`, never changed once made. Making one reads the zone's rules
// and the week data from ICU's resources, and the screens make a calendar per row or per reminder: each
// thread keeps the calendar it made last and shares it while the zone stays the same.
std::shared_ptr<const icu::Calendar> gregorianCalendar(std::string_view timeZoneIdentifier)
{
    struct Made {
        std::string timeZoneIdentifier;
        std::shared_ptr<const icu::Calendar> calendar;
    };
    thread_local Made last;
    if (!last.calendar || last.timeZoneIdentifier != timeZoneIdentifier) {
        UErrorCode status = U_ZERO_ERROR;
        last.calendar = std::make_shared<const icu::GregorianCalendar>(
            icu::TimeZone::createTimeZone(icutext::fromUtf8(timeZoneIdentifier)), icu::Locale::getRoot(),
            status);
        last.timeZoneIdentifier = timeZoneIdentifier;
    }
    return last.calendar;
}

}

// The prototype is only read (each call works on a copy of it), so calendars share it, across threads too.
struct Calendar::Implementation {
    std::shared_ptr<const icu::Calendar> prototype;

    // A copy of the prototype set to `date`, for one call.
    std::unique_ptr<icu::Calendar> at(Date date) const
    {
        std::unique_ptr<icu::Calendar> calendar(prototype->clone());
        UErrorCode status = U_ZERO_ERROR;
        calendar->setTime(milliseconds(date), status);
        return calendar;
    }

    // Days from 1970-01-01 to the day of `date` on the zone's wall clock: the calendar's Julian day less a
    // constant, without a copy of the calendar and all its fields worked out.
    std::int64_t localDay(Date date) const
    {
        auto utc = std::clamp(milliseconds(date), earliestMilliseconds, latestMilliseconds);
        if (std::isnan(utc))
            return 0;
        int32_t rawOffset = 0;
        int32_t daylightOffset = 0;
        UErrorCode status = U_ZERO_ERROR;
        prototype->getTimeZone().getOffset(utc, false, rawOffset, daylightOffset, status);
        return static_cast<std::int64_t>(std::floor((utc + rawOffset + daylightOffset) / millisecondsPerDay));
    }

    int32_t field(const icu::Calendar& calendar, UCalendarDateFields field) const
    {
        UErrorCode status = U_ZERO_ERROR;
        return calendar.get(field, status);
    }

    Date time(icu::Calendar& calendar) const
    {
        UErrorCode status = U_ZERO_ERROR;
        return dateFromMilliseconds(calendar.getTime(status));
    }
};

Calendar::Calendar()
    : Calendar(DeviceEnvironment::timeZoneIdentifier())
{
}

Calendar::Calendar(std::string_view timeZoneIdentifier)
    : m_implementation(std::make_unique<Implementation>())
{
    m_implementation->prototype = gregorianCalendar(timeZoneIdentifier);
}

Calendar::~Calendar() = default;

Calendar::Calendar(const Calendar& other)
    : m_implementation(std::make_unique<Implementation>())
{
    m_implementation->prototype = other.m_implementation->prototype;
}

Calendar& Calendar::operator=(const Calendar& other)
{
    m_implementation->prototype = other.m_implementation->prototype;
    return *this;
}

std::string Calendar::timeZoneIdentifier() const
{
    icu::UnicodeString id;
    m_implementation->prototype->getTimeZone().getID(id);
    return icutext::toUtf8(id);
}

Date Calendar::startOfDay(Date date) const
{
    return settingTime(date, 0, 0, 0);
}

Date Calendar::addingDays(Date date, std::int64_t days) const
{
    auto calendar = m_implementation->at(date);
    UErrorCode status = U_ZERO_ERROR;
    calendar->add(UCAL_DATE, clampedToInt32(days), status);
    // Keeps the part of a second below the millisecond that ICU does not hold.
    double belowMillisecond = date.secondsSince1970 - milliseconds(date) / millisecondsPerSecond;
    return m_implementation->time(*calendar).addingSeconds(belowMillisecond);
}

std::int64_t Calendar::calendarDaysBetween(Date from, Date to) const
{
    return m_implementation->localDay(to) - m_implementation->localDay(from);
}

std::int64_t Calendar::wholeDaysBetween(Date from, Date to) const
{
    auto calendar = m_implementation->at(from);
    UErrorCode status = U_ZERO_ERROR;
    return calendar->fieldDifference(milliseconds(to), UCAL_DATE, status);
}

CalendarDifference Calendar::difference(Date from, Date to) const
{
    auto calendar = m_implementation->at(from);
    UErrorCode status = U_ZERO_ERROR;
    CalendarDifference result;
    // fieldDifference moves the calendar on by what it counted, so each unit
    // counts what the larger ones left.
    result.years = calendar->fieldDifference(milliseconds(to), UCAL_YEAR, status);
    result.months = calendar->fieldDifference(milliseconds(to), UCAL_MONTH, status);
    result.weeks = calendar->fieldDifference(milliseconds(to), UCAL_WEEK_OF_YEAR, status);
    result.days = calendar->fieldDifference(milliseconds(to), UCAL_DATE, status);
    return result;
}

bool Calendar::isSameDay(Date first, Date second) const
{
    return calendarDaysBetween(first, second) == 0;
}

bool Calendar::isToday(Date date, Date now) const
{
    return isSameDay(date, now);
}

bool Calendar::isYesterday(Date date, Date now) const
{
    return calendarDaysBetween(date, now) == 1;
}

Date Calendar::settingTime(Date date, int hour, int minute, int second) const
{
    auto calendar = m_implementation->at(date);
    calendar->set(UCAL_HOUR_OF_DAY, hour);
    calendar->set(UCAL_MINUTE, minute);
    calendar->set(UCAL_SECOND, second);
    calendar->set(UCAL_MILLISECOND, 0);
    return m_implementation->time(*calendar);
}

DateComponents Calendar::components(Date date) const
{
    auto calendar = m_implementation->at(date);
    auto field = [&](UCalendarDateFields name) { return m_implementation->field(*calendar, name); };
    return DateComponents {
        .year = field(UCAL_EXTENDED_YEAR),
        .month = field(UCAL_MONTH) + 1,
        .day = field(UCAL_DATE),
        .hour = field(UCAL_HOUR_OF_DAY),
        .minute = field(UCAL_MINUTE),
        .second = field(UCAL_SECOND),
        .weekday = field(UCAL_DAY_OF_WEEK),
    };
}

Date Calendar::date(const DateComponents& components) const
{
    std::unique_ptr<icu::Calendar> calendar(m_implementation->prototype->clone());
    calendar->clear();
    calendar->set(UCAL_EXTENDED_YEAR, components.year);
    calendar->set(UCAL_MONTH, components.month - 1);
    calendar->set(UCAL_DATE, components.day);
    calendar->set(UCAL_HOUR_OF_DAY, components.hour);
    calendar->set(UCAL_MINUTE, components.minute);
    calendar->set(UCAL_SECOND, components.second);
    return m_implementation->time(*calendar);
}

}
