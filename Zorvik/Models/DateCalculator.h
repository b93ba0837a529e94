#pragma once

#include "platform/foundation/Date.h"

#include <cstdint>

namespace zorvik {

/// Day counts on the calendar of the device's time zone, against the main queue's clock for "now".
class DateCalculator {
public:
    /// Calendar days from the day of `from` to the day of `to` (23:59 yesterday to 00:01 today is 1);
    /// negative when `to` lies on an earlier day.
    static std::int64_t daysBetweenCalendarDatesFrom(
        platform::foundation::Date from, platform::foundation::Date to);
    /// Whole days elapsed from `from` to `to` on the calendar (23:59 to 00:01 the next day is 0).
    static std::int64_t getDifferenceBetweenDatesIncludingTimeFrom(
        platform::foundation::Date from, platform::foundation::Date to);
    /// True when `date` lies on today.
    static bool isToday(platform::foundation::Date date);
    /// True when `date` lies on the day before today.
    static bool isYesterday(platform::foundation::Date date);
};

}
