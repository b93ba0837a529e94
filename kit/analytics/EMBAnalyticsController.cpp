#include "kit/analytics/EMBAnalyticsController.h"

#include "kit/analytics/EMBAnalyticsApplicationLifecycleEvent.h"
#include "kit/analytics/EMBAnalyticsEvent.h"
#include "kit/analytics/EMBAnalyticsEventFilter.h"
#include "kit/analytics/EMBAnalyticsIdentifierGenerator.h"
#include "kit/analytics/EMBAnalyticsLog.h"
#include "kit/analytics/EMBAnalyticsMetadataController.h"
#include "kit/analytics/EMBAnalyticsMetadataEvent.h"
#include "kit/analytics/EMBAnalyticsNetworkingClient.h"
#include "kit/analytics/EMBAnalyticsTimestampGenerator.h"
#include "kit/analytics/EMBAnalyticsViewControllerEvent.h"
#include "kit/analytics/EMBAnalyticsViewControllerTrackingController.h"
#include "kit/analytics/EMBEventLogEventFile.h"
#include "kit/analytics/EMBFileSystemError.h"
#include "kit/analytics/EMBTallyCustomEvent.h"
#include "kit/analytics/EMBTallyPredefinedEvent.h"
#include "kit/core/CRNNetworkClient.h"
#include "kit/core/CRNSettingsOnboardingManager.h"
#include "kit/core/Cairn.h"
#include "kit/core/EMBUserDefaults.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <ctime>

namespace kit {

namespace fs = std::filesystem;
using platform::foundation::Bytes;
using platform::foundation::Date;
using platform::foundation::DictionaryRef;
using platform::foundation::DispatchQueue;
using platform::foundation::Error;
using platform::foundation::Value;

namespace {

std::shared_ptr<EMBUserDefaults> defaults()
{
    return EMBUserDefaults::standardUserDefaults();
}

}

bool EMBAnalyticsController::deviceMeetsMinimumRequirements()
{
    return true;
}

bool EMBAnalyticsController::supported()
{
    if (!deviceMeetsMinimumRequirements())
        return false;
    auto extension = platform::foundation::Bundle::main()->objectForInfoDictionaryKey("NSExtension");
    if (extension.isNull())
        return true;
    auto dictionary = extension.dictionary();
    if (!dictionary) {
        EMBAnalyticsLog::progress("Error: NSExtension Info.plist entry is mal-formed\n");
        return true;
    }
    if (!dictionary->get("NSExtensionPointIdentifier").string()) {
        EMBAnalyticsLog::progress("Error: NSExtensionPointIdentifier Info.plist entry is mal-formed\n");
        return true;
    }
    return false;
}

std::shared_ptr<EMBAnalyticsController> EMBAnalyticsController::create(
    std::string sessionIdentifier, Path analyticsRootDirectoryURL, std::optional<std::string> betaToken)
{
    auto timestampGenerator = std::make_shared<EMBAnalyticsTimestampGenerator>();
    auto metadata = std::make_shared<const EMBAnalyticsMetadataController>(
        timestampGenerator->generateAnalyticsTimestamp(), betaToken);
    return create(std::move(sessionIdentifier), std::move(analyticsRootDirectoryURL), std::move(betaToken),
        std::make_shared<EMBAnalyticsIdentifierGenerator>(), std::move(timestampGenerator),
        std::move(metadata), std::make_shared<EMBAnalyticsNetworkingClient>());
}

std::shared_ptr<EMBAnalyticsController> EMBAnalyticsController::create(std::string sessionIdentifier,
    Path analyticsRootDirectoryURL, std::optional<std::string> betaToken,
    std::shared_ptr<EMBAnalyticsIdentifierGenerator> identifierGenerator,
    std::shared_ptr<EMBAnalyticsTimestampGenerator> timestampGenerator,
    std::shared_ptr<const EMBAnalyticsMetadataController> metadataController,
    std::shared_ptr<EMBAnalyticsNetworkingClient> networkingClient)
{
    std::shared_ptr<EMBAnalyticsController> controller(
        new EMBAnalyticsController(std::move(sessionIdentifier), std::move(analyticsRootDirectoryURL),
            std::move(betaToken), std::move(identifierGenerator), std::move(timestampGenerator),
            std::move(metadataController), std::move(networkingClient)));
    return controller->initialize() ? controller : nullptr;
}

EMBAnalyticsController::EMBAnalyticsController(std::string sessionIdentifier, Path analyticsRootDirectoryURL,
    std::optional<std::string> betaToken,
    std::shared_ptr<EMBAnalyticsIdentifierGenerator> identifierGenerator,
    std::shared_ptr<EMBAnalyticsTimestampGenerator> timestampGenerator,
    std::shared_ptr<const EMBAnalyticsMetadataController> metadataController,
    std::shared_ptr<EMBAnalyticsNetworkingClient> networkingClient)
    : m_analyticsRootDirectoryURL(std::move(analyticsRootDirectoryURL))
    , m_sessionIdentifier(std::move(sessionIdentifier))
    , m_betaToken(std::move(betaToken))
    , m_identifierGenerator(std::move(identifierGenerator))
    , m_timestampGenerator(std::move(timestampGenerator))
    , m_metadataController(std::move(metadataController))
    , m_networkingClient(std::move(networkingClient))
    , m_sessionTimestamp(m_timestampGenerator->generateAnalyticsTimestamp())
    , m_logSessionRepository(m_analyticsRootDirectoryURL)
{
    for (std::size_t priority = 0; priority < m_priorityEventLoggingQueues.size(); ++priority)
        m_priorityEventLoggingQueues[priority]
            = std::make_unique<DispatchQueue>(kPriorityQueueLabels[priority]);
    m_sessionMaintenanceQueue = std::make_unique<DispatchQueue>(kMaintenanceQueueLabel);
}

EMBAnalyticsController::~EMBAnalyticsController()
{
    cancelTimer();
    // An upload under way ends now rather than keeping its network client alive for good.
    m_networkingClient->networkClient()->invalidateAndCancel();
}

bool EMBAnalyticsController::initialize()
{
    auto tracker = EMBAnalyticsViewControllerTrackingController::sharedInstance();
    tracker->setDelegate(weak_from_this());
    if (defaults()->boolForKey(kEnableViewControllerTrackingKey))
        tracker->startTracking();

    std::optional<Error> error;
    if (!prepareNewSessionFragment(
            m_identifierGenerator->generateSessionFragmentIdentifier(), m_sessionTimestamp, &error)) {
        EMBAnalyticsLog::progress(
            "Unable to prepare new session fragment {error: " + EMBAnalyticsLog::describe(error) + "}");
        return false;
    }
    readLastSessionInformation();
    saveCurrentSessionInformation();
    observeNotifications();
    setSettings(Cairn::sharedSDK().settings());
    return true;
}

bool EMBAnalyticsController::prepareNewSessionFragment(
    const std::string& identifier, std::uint64_t timestamp, std::optional<Error>* error)
{
    auto directory = m_logSessionRepository.sessionFragmentDirectoryURLForStateName(
        EMBEventLogSessionRepository::kActiveStateName, m_sessionIdentifier, m_sessionTimestamp, identifier,
        timestamp, error);
    if (!directory)
        return false;
    std::array<Path, 3> files;
    for (std::uint64_t priority = 0; priority < files.size(); ++priority) {
        auto file = m_logSessionRepository.eventLogFileURLForStateName(
            EMBEventLogSessionRepository::kActiveStateName, m_sessionIdentifier, m_sessionTimestamp,
            identifier, timestamp, priority, error);
        if (!file)
            return false;
        files[priority] = *file;
    }
    {
        std::lock_guard lock(m_mutex);
        m_currentSessionFragmentIdentifier = identifier;
        m_currentSessionFragmentTimestamp = timestamp;
        m_currentSessionFragmentDirectoryURL = *directory;
    }

    struct Switch {
        std::mutex mutex;
        std::condition_variable done;
        std::size_t remaining { 3 };
    };
    auto pending = std::make_shared<Switch>();
    for (std::size_t priority = 0; priority < files.size(); ++priority) {
        m_priorityEventLoggingQueues[priority]->async(
            [self = shared_from_this(), pending, priority, file = files[priority]] {
                // Releasing the file object closes the old fragment's file.
                self->m_priorityLogs[priority] = PriorityLog { file, nullptr, false };
                std::lock_guard lock(pending->mutex);
                --pending->remaining;
                pending->done.notify_all();
            });
    }
    std::unique_lock lock(pending->mutex);
    if (!pending->done.wait_for(lock, std::chrono::duration<double>(kFragmentSwitchTimeout),
            [&] { return pending->remaining == 0; }))
        return EMBFail(error,
            Error::withDescription(kErrorDomain, kFragmentSwitchTimeoutCode,
                "The event queues did not take the new session fragment in time"));
    return true;
}

void EMBAnalyticsController::readLastSessionInformation()
{
    m_lastSessionIdentifier.reset();
    m_lastSessionTimestamp = 0;
    m_lastSessionMetadata.reset();
    auto store = defaults();
    auto identifier = store->objectForKey(kLastSessionIdentifierKey);
    auto timestamp = store->objectForKey(kLastSessionTimestampKey);
    auto metadata = store->objectForKey(kLastSessionMetadataKey);
    if (!identifier.string() || !timestamp.number() || !metadata.bytes())
        return;
    m_lastSessionIdentifier = *identifier.string();
    m_lastSessionTimestamp = static_cast<std::uint64_t>(timestamp.integerValue());
    m_lastSessionMetadata = *metadata.bytes();
}

void EMBAnalyticsController::saveCurrentSessionInformation()
{
    auto store = defaults();
    store->setString(kLastSessionIdentifierKey, m_sessionIdentifier);
    store->setObject(kLastSessionTimestampKey, Value(static_cast<std::int64_t>(m_sessionTimestamp)));
    store->setObject(kLastSessionMetadataKey, Value(m_metadataController->metadataJSONData()));
    store->synchronize();
}

void EMBAnalyticsController::observeNotifications()
{
    using platform::ui::Application;
    auto& center = platform::foundation::NotificationCenter::defaultCenter();
    center.addObserver(weak_from_this(), CRNSettingsOnboardingManager::kSettingsAvailableNotification,
        nullptr, [this](const platform::foundation::Notification&) { cairnSettingsDownloaded(); });
    for (const char* name :
        { Application::willTerminateNotification, Application::didReceiveMemoryWarningNotification,
            Application::didEnterBackgroundNotification, Application::willEnterForegroundNotification,
            Application::willResignActiveNotification, Application::didBecomeActiveNotification }) {
        center.addObserver(
            weak_from_this(), name, nullptr, [this](const platform::foundation::Notification& notification) {
                applicationLifecycleEvent(notification);
            });
    }
}

std::optional<EMBAnalyticsController::Path> EMBAnalyticsController::currentSessionFragmentDirectoryURL() const
{
    std::lock_guard lock(m_mutex);
    return m_currentSessionFragmentDirectoryURL;
}

EMBAnalyticsSettings EMBAnalyticsController::settings() const
{
    std::lock_guard lock(m_mutex);
    return m_settings;
}

std::string EMBAnalyticsController::newEventIdentifier()
{
    return m_identifierGenerator->generateEventIdentifier();
}

std::uint64_t EMBAnalyticsController::newTimestamp()
{
    return m_timestampGenerator->generateAnalyticsTimestamp();
}

void EMBAnalyticsController::cairnSettingsDownloaded()
{
    setSettings(Cairn::sharedSDK().settings());
}

void EMBAnalyticsController::setSettings(const DictionaryRef& settings)
{
    m_sessionMaintenanceQueue->async(
        [self = shared_from_this(), settings] { self->applySettings(settings); });
}

void EMBAnalyticsController::applySettings(const DictionaryRef& settings)
{
    auto read = EMBAnalyticsSettings::fromSettingsDictionary(settings);
    if (read.shouldCollectAnalytics)
        EMBAnalyticsLog::progress(
            "Tally enabled with settings: " + platform::foundation::toJson(settings->get("analytics")));
    auto store = defaults();
    store->setBool(kEnableViewControllerTrackingKey, read.shouldTrackViewControllers);
    store->synchronize();
    {
        std::lock_guard lock(m_mutex);
        m_settings = read;
    }
    scheduleSessionMaintenance();
    if (!read.analyticsFeatureSwitchEnabled())
        purgeAnalyticsDirectory();
    if (!read.shouldCollectAnalytics)
        return;

    if (m_analyticsDirectoryPurged) {
        // The open fragment went with the store: events from now on need one again.
        std::optional<Error> error;
        if (prepareNewSessionFragment(
                m_identifierGenerator->generateSessionFragmentIdentifier(), newTimestamp(), &error))
            m_analyticsDirectoryPurged = false;
        else
            EMBAnalyticsLog::progress(
                "Unable to prepare new session fragment {error: " + EMBAnalyticsLog::describe(error) + "}");
    }
    if (!m_loggedAnalyticsEnabled) {
        auto session = m_logSessionRepository.sessionDirectoryURLForStateName(
            EMBEventLogSessionRepository::kActiveStateName, m_sessionIdentifier, m_sessionTimestamp);
        if (session) {
            EMBAnalyticsLog::progress("Logging events to session directory " + session->string());
            m_loggedAnalyticsEnabled = true;
        }
    }
    bool maintain = false;
    {
        std::lock_guard lock(m_mutex);
        maintain = m_performSessionMaintenanceAfterSettingsArrive;
    }
    if (maintain)
        maintainSessionFragmentsIgnoringError();
}

void EMBAnalyticsController::purgeAnalyticsDirectory()
{
    EMBAnalyticsLog::progress("Tally is disabled. Cleaning up session directory");
    std::error_code code;
    if (!fs::exists(m_analyticsRootDirectoryURL, code))
        return;
    for (std::size_t priority = 0; priority < m_priorityEventLoggingQueues.size(); ++priority)
        m_priorityEventLoggingQueues[priority]->sync([&] { m_priorityLogs[priority] = PriorityLog {}; });
    fs::remove_all(m_analyticsRootDirectoryURL, code);
    if (code)
        EMBAnalyticsLog::progress("Unable to purge analytics directory {error = " + code.message() + "}");
    m_analyticsDirectoryPurged = true;
    std::lock_guard lock(m_mutex);
    m_performSessionMaintenanceAfterSettingsArrive = false;
}

void EMBAnalyticsController::waitUntilIdle()
{
    for (auto& queue : m_priorityEventLoggingQueues)
        queue->waitUntilIdle();
    m_sessionMaintenanceQueue->waitUntilIdle();
    for (auto& queue : m_priorityEventLoggingQueues)
        queue->waitUntilIdle();
}

}
