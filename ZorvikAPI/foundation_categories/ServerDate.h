#pragma once

#include "platform/foundation/Date.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {
class DateFormatter;
}

namespace zorvik::api {

/// A new formatter for the one date format in which the server writes and reads every date:
/// "yyyy-MM-dd'T'HH:mm:ss.SSSZ" under the locale "en_US_POSIX" in the device's time zone.
platform::foundation::DateFormatter serverDateFormatter();

/// The date that `text` gives in the server format, or nullopt when it does not match.
///
/// Read exactly and without ICU, so that lists of thousands of invoices can read every "sent" cheaply:
/// four-digit year 0001-9999, two-digit month, day, hour (00-23), minute and second (00-59), three-digit
/// milliseconds, then the offset as "+hhmm" or "-hhmm" (as the server writes it), "+hh:mm" or "Z"
/// (offsets below 24 hours). The day must exist in its month; days are counted in the proleptic Gregorian
/// calendar, as the server counts them, also before 1582. Nothing may come before or after: text that
/// ICU would read leniently (spaces, other digit counts, "GMT+01:00") is not a server date.
std::optional<platform::foundation::Date> fromServerDateString(std::string_view text);

/// `date` in the server format, with the device's offset ("2016-03-01T09:15:00.000+0100").
std::string toServerDateString(platform::foundation::Date date);

}
