#include "kit/analytics/EMBAnalyticsEventFilter.h"

#include "kit/analytics/EMBEventLogEvent.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <array>

namespace kit {
namespace {

constexpr std::array<std::string_view, 8> kSampledEventTypes { "app_launched", "app_terminated",
    "app_crashed", "app_memory_warning", "app_entered_background", "app_entered_foreground",
    "app_became_inactive", "app_became_active" };

}

bool EMBAnalyticsEventFilter::shouldDiscardEvent(const EMBEventLogEvent* event,
    const std::optional<std::string>& betaToken, const std::optional<std::string>& installationID,
    std::int64_t factor)
{
    if (!event)
        return true;
    if (betaToken || !samplingEnabledForEventType(event->key()))
        return false;
    return shouldDiscardEventWithInstallationID(installationID, factor);
}

bool EMBAnalyticsEventFilter::samplingEnabledForEventType(std::string_view eventType)
{
    return std::ranges::find(kSampledEventTypes, eventType) != kSampledEventTypes.end();
}

bool EMBAnalyticsEventFilter::shouldDiscardEventWithInstallationID(
    const std::optional<std::string>& installationID, std::int64_t factor)
{
    if (!installationID || factor < 2)
        return false;
    auto hash = static_cast<std::int32_t>(javaHashCodeForString(*installationID));
    // The remainder takes the hash's sign, so a negative multiple of the factor is kept too.
    return hash % factor != 0;
}

std::uint32_t EMBAnalyticsEventFilter::javaHashCodeForString(std::string_view text)
{
    auto units
        = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::uint32_t hash = 0;
    for (int32_t index = 0; index < units.length(); ++index)
        hash = hash * 31 + units.charAt(index);
    return hash;
}

}
