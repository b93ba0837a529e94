// Event logging of the analytics controller: the events the kit and the app log, each written on its
// priority's queue into the open fragment's log file of that priority.

#include "kit/analytics/EMBAnalyticsController.h"

#include "kit/analytics/EMBAnalyticsApplicationLifecycleEvent.h"
#include "kit/analytics/EMBAnalyticsEvent.h"
#include "kit/analytics/EMBAnalyticsEventFilter.h"
#include "kit/analytics/EMBAnalyticsIdentifierGenerator.h"
#include "kit/analytics/EMBAnalyticsLog.h"
#include "kit/analytics/EMBAnalyticsMetadataController.h"
#include "kit/analytics/EMBAnalyticsMetadataEvent.h"
#include "kit/analytics/EMBAnalyticsTimestampGenerator.h"
#include "kit/analytics/EMBAnalyticsViewControllerEvent.h"
#include "kit/analytics/EMBEventLogEventFile.h"
#include "kit/analytics/EMBTallyCustomEvent.h"
#include "kit/analytics/EMBTallyPredefinedEvent.h"
#include "kit/core/Cairn.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/NotificationCenter.h"

#include <cmath>
#include <ctime>

namespace kit {

using platform::foundation::Date;
using platform::foundation::Error;

namespace {

// The date as the log shows dates: "2015-01-14 12:00:00 +0000".
std::string describe(Date date)
{
    auto seconds = static_cast<std::time_t>(date.secondsSince1970);
    std::tm parts {};
    gmtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &parts);
    return text;
}

}

void EMBAnalyticsController::logAppInstalled()
{
    if (Cairn::sharedSDK().isFirstInstall())
        logEvent(EMBAnalyticsApplicationLifecycleEvent::applicationInstalledEvent(
            newTimestamp(), newEventIdentifier()));
}

void EMBAnalyticsController::logAppLaunched()
{
    logEvent(EMBAnalyticsApplicationLifecycleEvent::applicationLaunchedEvent(
        newTimestamp(), newEventIdentifier()));
}

void EMBAnalyticsController::logPreviousSessionCrashedOnDate(Date date)
{
    EMBAnalyticsLog::progress("Logging previous session crashed event {date: " + describe(date) + "}");
    m_sessionMaintenanceQueue->async(
        [self = shared_from_this(), date] { self->writePreviousSessionCrash(date); });
}

void EMBAnalyticsController::writePreviousSessionCrash(Date date)
{
    if (!m_lastSessionIdentifier || !m_lastSessionMetadata || m_lastSessionTimestamp == 0
        || !analyticsFeatureSwitchEnabled())
        return;
    auto timestamp = static_cast<std::uint64_t>(std::max(0.0, std::floor(date.secondsSince1970))) * 1000;
    auto crash
        = EMBAnalyticsApplicationLifecycleEvent::applicationCrashedEvent(timestamp, newEventIdentifier());
    EMBAnalyticsMetadataEvent metadata(crash->priority(), timestamp, *m_lastSessionMetadata);

    std::optional<Error> error;
    auto url = m_logSessionRepository.eventLogFileURLForStateName(
        EMBEventLogSessionRepository::kActiveStateName, *m_lastSessionIdentifier, m_lastSessionTimestamp,
        m_identifierGenerator->generateSessionFragmentIdentifier(), timestamp, crash->priority(), &error);
    if (!url) {
        EMBAnalyticsLog::progress("Unable to create a new session fragment to contain crash event {error: "
            + EMBAnalyticsLog::describe(error) + "}");
        return;
    }
    auto file = EMBEventLogEventFile::create(*url);
    const char* failure = nullptr;
    if (!file || !file->appendEvent(metadata, &error))
        failure = "Unable to log metadata event {error: ";
    else if (!file->appendEvent(*crash, &error))
        failure = "Unable to log crash event {error: ";
    if (failure) {
        EMBAnalyticsLog::progress(failure + EMBAnalyticsLog::describe(error) + "}");
        file = nullptr;
        m_logSessionRepository.removeLogFile(*url);
    }
}

void EMBAnalyticsController::logPredefinedEvent(const std::shared_ptr<const EMBTallyPredefinedEvent>& event)
{
    auto description = event ? event->description() : std::string("(null)");
    if (!predefinedEventsFeatureSwitchEnabled()) {
        EMBAnalyticsLog::write(
            "Tally Event tracking is disabled for this application. Ignoring " + description);
        return;
    }
    logTallyEvent(event, description);
}

void EMBAnalyticsController::logCustomEvent(const std::shared_ptr<const EMBTallyCustomEvent>& event)
{
    auto description = event ? event->description() : std::string("(null)");
    if (!customEventsFeatureSwitchEnabled()) {
        EMBAnalyticsLog::write(
            "Tally Event tracking is disabled for this application. Ignoring " + description);
        return;
    }
    logTallyEvent(event, description);
}

void EMBAnalyticsController::logTallyEvent(
    const std::shared_ptr<const EMBTallyEvent>& event, const std::string& description)
{
    if (!analyticsFeatureSwitchEnabled()) {
        EMBAnalyticsLog::write(
            "Tally is disabled for this application. Please enable Tally on your dashboard.");
        return;
    }
    EMBAnalyticsLog::progress("Logging event: " + description);
    if (event)
        logEvent(std::make_shared<EMBAnalyticsEvent>(*event, newTimestamp(), newEventIdentifier()));
}

void EMBAnalyticsController::logEvent(const std::shared_ptr<const EMBEventLogEvent>& event)
{
    if (!event)
        return;
    auto settings = this->settings();
    if (EMBAnalyticsEventFilter::shouldDiscardEvent(
            event.get(), m_betaToken, Cairn::sharedSDK().installID(), settings.samplingRate)) {
        EMBAnalyticsLog::progress("Application is enabled for sampling, skipping " + event->description());
        return;
    }
    if (!settings.analyticsFeatureSwitchEnabled())
        return;
    auto priority = event->priority();
    if (priority >= m_priorityEventLoggingQueues.size())
        return;
    auto& queue = *m_priorityEventLoggingQueues[priority];
    auto work = [self = shared_from_this(), event] { self->appendEvent(*event); };
    if (priority == EMBEventLogEvent::kLowPriority)
        queue.async(std::move(work));
    else
        queue.sync(work);
}

void EMBAnalyticsController::appendEvent(const EMBEventLogEvent& event)
{
    auto priority = event.priority();
    auto file = eventFileForPriority(priority);
    if (!file || !file->appendEvent(event))
        return;
    auto& log = m_priorityLogs[priority];
    bool maintain = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_settings.maxByteSizePerFile != 0 && file->fileSize() > m_settings.maxByteSizePerFile) {
            // Once per file: the events queued behind this one would otherwise each start a chain that opens
            // (and uploads) an empty fragment.
            maintain = !log.sizeMaintenanceStarted;
            log.sizeMaintenanceStarted = true;
        } else if (priority == EMBEventLogEvent::kHighPriority) {
            maintain = m_settings.haveSettings;
            if (!maintain)
                m_performSessionMaintenanceAfterSettingsArrive = true;
        }
    }
    if (maintain)
        maintainSessionFragmentsIgnoringError();
}

std::shared_ptr<EMBEventLogEventFile> EMBAnalyticsController::eventFileForPriority(std::uint64_t priority)
{
    auto& log = m_priorityLogs[priority];
    if (log.file)
        return log.file;
    std::uint64_t fragmentTimestamp = 0;
    {
        std::lock_guard lock(m_mutex);
        fragmentTimestamp = m_currentSessionFragmentTimestamp;
    }
    std::optional<Error> error;
    auto file = log.url ? EMBEventLogEventFile::create(*log.url) : nullptr;
    if (file
        && file->appendEvent(
            EMBAnalyticsMetadataEvent(priority, fragmentTimestamp, m_metadataController->metadataJSONData()),
            &error)) {
        log.file = file;
        return file;
    }
    EMBAnalyticsLog::progress("Unable to create a new log file for priority " + std::to_string(priority)
        + " {error: " + EMBAnalyticsLog::describe(error) + "}");
    return nullptr;
}

void EMBAnalyticsController::applicationLifecycleEvent(const platform::foundation::Notification& notification)
{
    logEvent(EMBAnalyticsApplicationLifecycleEvent::eventWithApplicationNotificationName(
        notification.name, newTimestamp(), newEventIdentifier(), settings().shouldFlushOnBackground));
}

void EMBAnalyticsController::didDetectAppearanceOfViewController(
    EMBAnalyticsViewControllerTrackingController&,
    const std::shared_ptr<platform::ui::ViewController>& controller)
{
    if (controller && settings().shouldTrackViewControllers)
        logEvent(EMBAnalyticsViewControllerEvent::appearedEventForViewController(
            *controller, newTimestamp(), newEventIdentifier()));
}

void EMBAnalyticsController::didDetectDisappearanceOfViewController(
    EMBAnalyticsViewControllerTrackingController&,
    const std::shared_ptr<platform::ui::ViewController>& controller)
{
    if (controller && settings().shouldTrackViewControllers)
        logEvent(EMBAnalyticsViewControllerEvent::disappearedEventForViewController(
            *controller, newTimestamp(), newEventIdentifier()));
}

}
