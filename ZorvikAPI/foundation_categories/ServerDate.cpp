#include "ZorvikAPI/foundation_categories/ServerDate.h"

#include "platform/foundation/DateFormatter.h"

#include <cstdint>

namespace zorvik::api {

using platform::foundation::Date;
using platform::foundation::DateFormatter;

namespace {

// The decimal number in `text` at `at`, `count` digits long, or -1 when one of them is not a digit.
int digits(std::string_view text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t index = at; index < at + count; ++index) {
        char c = text[index];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (the year counted from 1 March, so
// that the leap day ends it).
std::int64_t daysSince1970(int year, int month, int day)
{
    year -= month <= 2;
    std::int64_t era = year / 400;
    std::int64_t yearOfEra = year - era * 400;
    std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The offset east of UTC in seconds that `text` ("Z", "+hhmm", "-hhmm" or "+hh:mm") gives, or nullopt.
std::optional<int> offsetSeconds(std::string_view text)
{
    if (text == "Z")
        return 0;
    if (text.size() != 5 && text.size() != 6)
        return std::nullopt;
    if (text[0] != '+' && text[0] != '-')
        return std::nullopt;
    if (text.size() == 6 && text[3] != ':')
        return std::nullopt;
    int hours = digits(text, 1, 2);
    int minutes = digits(text, text.size() - 2, 2);
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59)
        return std::nullopt;
    int seconds = hours * 3600 + minutes * 60;
    return text[0] == '-' ? -seconds : seconds;
}

}

DateFormatter serverDateFormatter()
{
    return DateFormatter::serverDateFormatter();
}

std::optional<Date> fromServerDateString(std::string_view text)
{
    // "2016-03-01T09:15:00.000" takes 23 characters at fixed places; the offset follows.
    constexpr std::size_t kLocalLength = 23;
    if (text.size() <= kLocalLength)
        return std::nullopt;
    for (auto [at, separator] :
        { std::pair { 4, '-' }, { 7, '-' }, { 10, 'T' }, { 13, ':' }, { 16, ':' }, { 19, '.' } }) {
        if (text[at] != separator)
            return std::nullopt;
    }
    int year = digits(text, 0, 4);
    int month = digits(text, 5, 2);
    int day = digits(text, 8, 2);
    int hour = digits(text, 11, 2);
    int minute = digits(text, 14, 2);
    int second = digits(text, 17, 2);
    int millisecond = digits(text, 20, 3);
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour < 0
        || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0)
        return std::nullopt;
    auto offset = offsetSeconds(text.substr(kLocalLength));
    if (!offset)
        return std::nullopt;
    std::int64_t seconds
        = daysSince1970(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - *offset;
    // Whole milliseconds divided once, as ICU does, so that both read the same double.
    return Date { static_cast<double>(seconds * 1000 + millisecond) / 1000.0 };
}

std::string toServerDateString(Date date)
{
    return serverDateFormatter().format(date);
}

}
