#include "platform/foundation/DateFormatter.h"

#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/IcuText.h"

#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <cmath>

namespace platform::foundation {

namespace {

constexpr double millisecondsPerSecond = 1000;

}

struct DateFormatter::Implementation {
    std::unique_ptr<icu::SimpleDateFormat> formatter;
};

DateFormatter::DateFormatter(std::string_view pattern)
    : DateFormatter(pattern, DeviceEnvironment::localeIdentifier(), DeviceEnvironment::timeZoneIdentifier())
{
}

DateFormatter::DateFormatter(
    std::string_view pattern, std::string_view localeIdentifier, std::string_view timeZoneIdentifier)
    : m_pattern(pattern)
    , m_implementation(std::make_unique<Implementation>())
{
    UErrorCode status = U_ZERO_ERROR;
    auto formatter = std::make_unique<icu::SimpleDateFormat>(
        icutext::fromUtf8(pattern), icutext::locale(localeIdentifier), status);
    if (U_FAILURE(status))
        return;
    formatter->adoptTimeZone(icu::TimeZone::createTimeZone(icutext::fromUtf8(timeZoneIdentifier)));
    formatter->setLenient(false);
    m_implementation->formatter = std::move(formatter);
}

DateFormatter::~DateFormatter() = default;
DateFormatter::DateFormatter(DateFormatter&&) noexcept = default;
DateFormatter& DateFormatter::operator=(DateFormatter&&) noexcept = default;

DateFormatter DateFormatter::serverDateFormatter()
{
    return DateFormatter(
        "yyyy-MM-dd'T'HH:mm:ss.SSSZ", "en_US_POSIX", DeviceEnvironment::timeZoneIdentifier());
}

std::string DateFormatter::format(Date date) const
{
    if (!m_implementation->formatter)
        return {};
    icu::UnicodeString text;
    UErrorCode status = U_ZERO_ERROR;
    // ICU counts whole milliseconds; flooring keeps a date just before a
    // boundary on its side of it.
    m_implementation->formatter->format(
        std::floor(date.secondsSince1970 * millisecondsPerSecond), text, nullptr, status);
    return U_SUCCESS(status) ? icutext::toUtf8(text) : std::string();
}

std::optional<Date> DateFormatter::parse(std::string_view text) const
{
    if (!m_implementation->formatter)
        return std::nullopt;
    icu::UnicodeString unicodeText = icutext::fromUtf8(text);
    icu::ParsePosition position(0);
    UDate milliseconds = m_implementation->formatter->parse(unicodeText, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != unicodeText.length())
        return std::nullopt;
    return Date { milliseconds / millisecondsPerSecond };
}

std::string DateFormatter::timeZoneIdentifier() const
{
    if (!m_implementation->formatter)
        return {};
    icu::UnicodeString id;
    m_implementation->formatter->getTimeZone().getID(id);
    return icutext::toUtf8(id);
}

}
