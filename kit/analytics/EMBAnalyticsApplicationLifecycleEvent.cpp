#include "kit/analytics/EMBAnalyticsApplicationLifecycleEvent.h"

#include "platform/ui/Application.h"

#include <optional>

namespace kit {

using platform::ui::Application;

namespace {

struct NotificationEvent {
    const char* key { "" };
    std::uint64_t priority { EMBEventLogEvent::kMediumPriority };
};

std::optional<NotificationEvent> eventForNotification(std::string_view name, bool highPriorityOnBackground)
{
    if (name == Application::willTerminateNotification)
        return NotificationEvent { "app_terminated" };
    if (name == Application::didReceiveMemoryWarningNotification)
        return NotificationEvent { "app_memory_warning" };
    if (name == Application::didEnterBackgroundNotification)
        return NotificationEvent { "app_entered_background" };
    if (name == Application::willEnterForegroundNotification)
        return NotificationEvent { "app_entered_foreground" };
    if (name == Application::willResignActiveNotification)
        return NotificationEvent { "app_became_inactive",
            highPriorityOnBackground ? EMBEventLogEvent::kHighPriority : EMBEventLogEvent::kMediumPriority };
    if (name == Application::didBecomeActiveNotification)
        return NotificationEvent { "app_became_active", EMBEventLogEvent::kHighPriority };
    return std::nullopt;
}

}

EMBAnalyticsApplicationLifecycleEvent::EMBAnalyticsApplicationLifecycleEvent(
    std::uint64_t priority, std::uint64_t timestamp, std::string key, std::string eventIdentifier)
    : EMBAnalyticsEvent(priority, timestamp, std::move(key), std::move(eventIdentifier))
{
}

std::shared_ptr<EMBAnalyticsApplicationLifecycleEvent>
EMBAnalyticsApplicationLifecycleEvent::eventWithApplicationNotificationName(std::string_view name,
    std::uint64_t timestamp, std::string eventIdentifier, bool highPriorityEventOnBackground)
{
    auto event = eventForNotification(name, highPriorityEventOnBackground);
    if (!event)
        return nullptr;
    return std::make_shared<EMBAnalyticsApplicationLifecycleEvent>(
        event->priority, timestamp, event->key, std::move(eventIdentifier));
}

std::shared_ptr<EMBAnalyticsApplicationLifecycleEvent>
EMBAnalyticsApplicationLifecycleEvent::applicationInstalledEvent(
    std::uint64_t timestamp, std::string eventIdentifier)
{
    return std::make_shared<EMBAnalyticsApplicationLifecycleEvent>(
        kHighPriority, timestamp, "app_installed", std::move(eventIdentifier));
}

std::shared_ptr<EMBAnalyticsApplicationLifecycleEvent>
EMBAnalyticsApplicationLifecycleEvent::applicationLaunchedEvent(
    std::uint64_t timestamp, std::string eventIdentifier)
{
    return std::make_shared<EMBAnalyticsApplicationLifecycleEvent>(
        kMediumPriority, timestamp, "app_launched", std::move(eventIdentifier));
}

std::shared_ptr<EMBAnalyticsApplicationLifecycleEvent>
EMBAnalyticsApplicationLifecycleEvent::applicationCrashedEvent(
    std::uint64_t timestamp, std::string eventIdentifier)
{
    return std::make_shared<EMBAnalyticsApplicationLifecycleEvent>(
        kMediumPriority, timestamp, "app_crashed", std::move(eventIdentifier));
}

}
