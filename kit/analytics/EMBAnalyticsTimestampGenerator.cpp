#include "kit/analytics/EMBAnalyticsTimestampGenerator.h"

#include "platform/foundation/Clock.h"

#include <cmath>

namespace kit {

std::uint64_t EMBAnalyticsTimestampGenerator::generateAnalyticsTimestamp()
{
    double milliseconds = std::floor(platform::foundation::now().secondsSince1970 * 1000);
    return milliseconds > 0 ? static_cast<std::uint64_t>(milliseconds) : 0;
}

}
