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
std::optional<platform::foundation::Date> fromServerDateString(std::string_view text);

/// `date` in the server format, with the device's offset ("2016-03-01T09:15:00.000+0100").
std::string toServerDateString(platform::foundation::Date date);

}
