#pragma once

#include "kit/analytics/EMBAnalyticsEvent.h"

#include <memory>
#include <string_view>

namespace kit {

/// An event of the application's life: installed, launched, crashed, or one of the application's life-cycle
/// notifications. Its payload holds only "eventId".
class EMBAnalyticsApplicationLifecycleEvent final : public EMBAnalyticsEvent {
public:
    /// The event of the application notification `name` at `timestamp` (milliseconds), or null for a name
    /// that makes none: "app_terminated", "app_memory_warning", "app_entered_background" and
    /// "app_entered_foreground" (medium priority), "app_became_inactive" (high priority when
    /// `highPriorityEventOnBackground`, else medium) and "app_became_active" (high priority).
    static std::shared_ptr<EMBAnalyticsApplicationLifecycleEvent> eventWithApplicationNotificationName(
        std::string_view name, std::uint64_t timestamp, std::string eventIdentifier,
        bool highPriorityEventOnBackground);
    /// "app_installed", high priority.
    static std::shared_ptr<EMBAnalyticsApplicationLifecycleEvent> applicationInstalledEvent(
        std::uint64_t timestamp, std::string eventIdentifier);
    /// "app_launched", medium priority.
    static std::shared_ptr<EMBAnalyticsApplicationLifecycleEvent> applicationLaunchedEvent(
        std::uint64_t timestamp, std::string eventIdentifier);
    /// "app_crashed", medium priority.
    static std::shared_ptr<EMBAnalyticsApplicationLifecycleEvent> applicationCrashedEvent(
        std::uint64_t timestamp, std::string eventIdentifier);

    /// Made by the factories above (public for std::make_shared).
    EMBAnalyticsApplicationLifecycleEvent(
        std::uint64_t priority, std::uint64_t timestamp, std::string key, std::string eventIdentifier);

protected:
    const char* className() const override { return "EMBAnalyticsApplicationLifecycleEvent"; }
};

}
