#pragma once

#include "platform/foundation/Date.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// Formats and parses dates with a date pattern ("dd MMM yyyy", "EEEE"), a
/// locale and a time zone, by the pattern letters of Unicode's date
/// formats. One formatter is for one thread at a time.
class DateFormatter {
public:
    /// A formatter in the device locale and time zone as they are now.
    explicit DateFormatter(std::string_view pattern);

    /// A formatter with its own locale ("en_US_POSIX", "en-GB") and time
    /// zone ("Europe/London"). An unknown locale falls back to the root
    /// locale, an unknown zone to UTC.
    DateFormatter(
        std::string_view pattern, std::string_view localeIdentifier, std::string_view timeZoneIdentifier);

    ~DateFormatter();
    DateFormatter(DateFormatter&&) noexcept;
    DateFormatter& operator=(DateFormatter&&) noexcept;

    /// The server's date format: "yyyy-MM-dd'T'HH:mm:ss.SSSZ" in "en_US_POSIX" and the device time zone,
    /// so a written date carries the device's offset ("2016-03-01T09:15:00.000+0100").
    static DateFormatter serverDateFormatter();

    /// `date` as text (time below the pattern's precision is dropped, not rounded). Empty when the
    /// pattern holds a letter that is no pattern letter.
    std::string format(Date date) const;

    /// The date the whole of `text` describes, or nullopt when the text does
    /// not match the pattern (a trailing remainder, an impossible day or hour
    /// included). Offsets for the pattern letter Z may be written "+0100",
    /// "+01:00" or "Z". Never throws.
    std::optional<Date> parse(std::string_view text) const;

    /// The pattern in use.
    const std::string& pattern() const { return m_pattern; }

    /// The time zone in use, such as "Europe/London".
    std::string timeZoneIdentifier() const;

private:
    struct Implementation;
    std::string m_pattern;
    std::unique_ptr<Implementation> m_implementation;
};

}
