#include "Zorvik/Models/DateCalculator.h"

#include "platform/foundation/Calendar.h"
#include "platform/foundation/Clock.h"

namespace zorvik {

using platform::foundation::Calendar;
using platform::foundation::Date;

std::int64_t DateCalculator::daysBetweenCalendarDatesFrom(Date from, Date to)
{
    return Calendar().calendarDaysBetween(from, to);
}

std::int64_t DateCalculator::getDifferenceBetweenDatesIncludingTimeFrom(Date from, Date to)
{
    return Calendar().wholeDaysBetween(from, to);
}

bool DateCalculator::isToday(Date date)
{
    return Calendar().isToday(date, platform::foundation::now());
}

bool DateCalculator::isYesterday(Date date)
{
    return Calendar().isYesterday(date, platform::foundation::now());
}

}
