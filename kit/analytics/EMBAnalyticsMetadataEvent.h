#pragma once

#include "kit/analytics/EMBEventLogEvent.h"

namespace kit {

/// The first line of every event log file: key "metadata" and, as its payload, the session's metadata JSON
/// as it stands (not a JSON object of values, as the other events carry).
class EMBAnalyticsMetadataEvent final : public EMBEventLogEvent {
public:
    /// The metadata line of a file of `priority`, at `timestamp` (milliseconds), holding `metadataJSONData`.
    EMBAnalyticsMetadataEvent(
        std::uint64_t priority, std::uint64_t timestamp, platform::foundation::Bytes metadataJSONData);

    static constexpr const char* kKey { "metadata" };

    /// The metadata JSON (the payload).
    const platform::foundation::Bytes& metadataJSONData() const { return *payload(); }

    std::string description() const override;
};

}
