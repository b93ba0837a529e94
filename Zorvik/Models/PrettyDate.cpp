#include "Zorvik/Models/PrettyDate.h"

#include "Zorvik/Models/DateCalculator.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"

#include <cmath>

namespace zorvik {

using platform::foundation::Date;

std::string prettyFormatDate(Date date)
{
    if (DateCalculator::isToday(date))
        return "today";
    if (DateCalculator::isYesterday(date))
        return "yesterday";
    auto days = std::trunc(platform::foundation::now().secondsSince(date) / 86400.0);
    return platform::foundation::DateFormatter(days >= 7 ? "dd MMMM" : "EEEE").format(date);
}

std::string relativeFormat(Date date)
{
    auto difference = platform::foundation::Calendar().difference(date, platform::foundation::now());
    if (difference.years >= 1)
        return formatPlural("year", difference.years);
    if (difference.months >= 1)
        return formatPlural("month", difference.months);
    if (difference.weeks >= 1)
        return formatPlural("week", difference.weeks);
    if (difference.days >= 1)
        return formatPlural("day", difference.days);
    return {};
}

std::string formatPlural(std::string_view unit, std::int64_t value)
{
    return std::to_string(value) + " " + std::string(unit) + (value < 2 ? "" : "s");
}

}
