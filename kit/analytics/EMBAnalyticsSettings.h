#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kit {

/// What the analytics controller takes from the kit settings: "features"."collect_analytics" and the
/// "analytics" section. A missing key reads as 0, false or none; numbers and flags are read leniently, as
/// the platform's numbers read (a numeric string counts). The defaults, before any settings, count every
/// switch as on.
struct EMBAnalyticsSettings {
    /// The keys of the "analytics" section.
    static constexpr const char* kURLKey { "url" };
    static constexpr const char* kTrackViewControllersKey { "track_view_controllers" };
    static constexpr const char* kFlushOnBackgroundKey { "flush_on_background" };
    static constexpr const char* kMaxByteSizePerFileKey { "max_byte_size_per_file" };
    static constexpr const char* kFlushIntervalSecsKey { "flush_interval_secs" };
    static constexpr const char* kMaxPendingSendFileCountKey { "max_pending_send_file_count" };
    static constexpr const char* kTrackCustomEventsKey { "track_custom_events" };
    static constexpr const char* kTrackPredefinedEventsKey { "track_predefined_events" };
    static constexpr const char* kSamplingRateKey { "sampling_rate" };

    /// The settings read from the downloaded kit settings `settings`; null gives the defaults.
    static EMBAnalyticsSettings fromSettingsDictionary(const platform::foundation::DictionaryRef& settings);

    /// Analytics is on: no settings yet, or settings that collect analytics.
    bool analyticsFeatureSwitchEnabled() const { return !haveSettings || shouldCollectAnalytics; }
    /// Custom events are logged: no settings yet, or analytics on and custom events tracked.
    bool customEventsFeatureSwitchEnabled() const
    {
        return !haveSettings || (analyticsFeatureSwitchEnabled() && trackCustomEvents);
    }
    /// The same for predefined events.
    bool predefinedEventsFeatureSwitchEnabled() const
    {
        return !haveSettings || (analyticsFeatureSwitchEnabled() && trackPredefinedEvents);
    }

    /// A settings dictionary was given.
    bool haveSettings { false };
    bool shouldCollectAnalytics { false };
    /// Where packaged fragments are uploaded.
    std::optional<std::string> analyticsURL;
    bool shouldTrackViewControllers { false };
    /// Makes "app_became_inactive" a high-priority event, so that leaving the app sends what it logged.
    bool shouldFlushOnBackground { false };
    /// Bytes past which a log file starts maintenance; 0 for no limit.
    std::uint64_t maxByteSizePerFile { 0 };
    /// Seconds between timed maintenances; 0 for none.
    std::uint32_t flushIntervalSecs { 0 };
    /// How many closed log files may wait on disk before the oldest low-priority ones are pruned.
    std::uint32_t maxPendingSendFileCount { 0 };
    bool trackCustomEvents { true };
    bool trackPredefinedEvents { true };
    /// The sampling factor of the lifecycle events (EMBAnalyticsEventFilter).
    std::int64_t samplingRate { 0 };
};

}
