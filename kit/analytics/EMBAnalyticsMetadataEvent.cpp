#include "kit/analytics/EMBAnalyticsMetadataEvent.h"

namespace kit {

EMBAnalyticsMetadataEvent::EMBAnalyticsMetadataEvent(
    std::uint64_t priority, std::uint64_t timestamp, platform::foundation::Bytes metadataJSONData)
    : EMBEventLogEvent(priority, timestamp, kKey, std::move(metadataJSONData))
{
}

std::string EMBAnalyticsMetadataEvent::description() const
{
    const auto& json = metadataJSONData();
    return "EMBAnalyticsMetadataEvent {priority=" + std::to_string(priority()) + ", timestamp="
        + std::to_string(timestamp()) + ", metadata=" + std::string(json.begin(), json.end()) + "}";
}

}
