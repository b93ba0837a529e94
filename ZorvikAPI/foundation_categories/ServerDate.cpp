#include "ZorvikAPI/foundation_categories/ServerDate.h"

#include "platform/foundation/DateFormatter.h"

namespace zorvik::api {

using platform::foundation::Date;
using platform::foundation::DateFormatter;

DateFormatter serverDateFormatter()
{
    return DateFormatter::serverDateFormatter();
}

std::optional<Date> fromServerDateString(std::string_view text)
{
    // Every server date carries its own offset, so reading does not depend on the device's time zone
    // and one formatter per thread serves every call (the filters read thousands of dates at a time).
    thread_local const DateFormatter reader = serverDateFormatter();
    return reader.parse(text);
}

std::string toServerDateString(Date date)
{
    return serverDateFormatter().format(date);
}

}
