#pragma once

#include "platform/foundation/Date.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik {

/// `date` as the invoice lists show it, against now on the main queue's clock: "today" or "yesterday" on
/// the device's calendar; else, when fewer than 7 whole periods of 24 hours have passed, the weekday name
/// ("EEEE", such as "Tuesday"); else day and month ("dd MMMM", such as "04 March"). The names are in the
/// device locale.
std::string prettyFormatDate(platform::foundation::Date date);

/// The time from `date` to now in its largest calendar unit of at least one ("1 year", "3 months",
/// "1 week", "2 days"); "" when less than a day has passed or `date` lies ahead.
std::string relativeFormat(platform::foundation::Date date);

/// `value` with `unit`, plural from 2: "1 day", "0 day", "3 days".
std::string formatPlural(std::string_view unit, std::int64_t value);

}
