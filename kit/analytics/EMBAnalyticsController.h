#pragma once

#include "kit/analytics/EMBAnalyticsSettings.h"
#include "kit/analytics/EMBAnalyticsViewControllerTrackingDelegate.h"
#include "kit/analytics/EMBEventLogSessionRepository.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/Value.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform::foundation {
class DispatchQueue;
struct Notification;
}

namespace kit {

class EMBAnalyticsIdentifierGenerator;
class EMBAnalyticsMetadataController;
class EMBAnalyticsNetworkingClient;
class EMBAnalyticsTimestampGenerator;
class EMBEventLogEvent;
class EMBEventLogEventFile;
class EMBTallyCustomEvent;
class EMBTallyEvent;
class EMBTallyPredefinedEvent;

/// The analytics engine: one session per launch, whose events go as lines into three log files of the
/// session's open fragment, one per priority (0 high, 1 medium, 2 low), each beginning with the session's
/// metadata line. It applies the kit settings whenever the platform announces them, and keeps the store
/// moving: session maintenance closes the open fragment by opening a new one, packages the closed
/// fragments, uploads them, prunes the oldest low-priority files beyond the settings' limit and cleans the
/// store. Maintenance runs after a high-priority event (once settings are there), when a log file grows
/// past the settings' size, when settings arrive after a high-priority event, and on the settings' flush
/// interval (a timer on the main queue's clock).
///
/// Without settings every event is written and nothing is uploaded; settings that do not collect analytics
/// delete the whole store and drop every event until settings collect again. Failures are only logged
/// ("[Ember:Tally]", most in debug mode): an event whose file cannot be written is lost.
///
/// Each priority has a serial queue of its own that alone touches its file: high and medium events are
/// written before the logging call returns, low ones later. Settings, maintenance, the timer and the
/// previous session's crash run on the serial maintenance queue. Upload completions come back to it.
/// Thread-safe; make it with create(). Work under way keeps the controller alive until it is done.
class EMBAnalyticsController final : public EMBAnalyticsViewControllerTrackingDelegate,
                                     public std::enable_shared_from_this<EMBAnalyticsController> {
public:
    using Path = std::filesystem::path;
    using Completion = std::function<void(const std::optional<platform::foundation::Error>& error)>;

    /// The domain of the controller's own errors and their codes.
    static constexpr const char* kErrorDomain { "EMBAnalyticsControllerErrorDomain" };
    /// An upload pass is running already.
    static constexpr std::int64_t kTransmissionInProgressCode { -1 };
    /// The settings give no upload URL.
    static constexpr std::int64_t kNoAnalyticsURLCode { -2 };
    /// Pruning found no more files to delete before reaching the limit.
    static constexpr std::int64_t kPruningExhaustedCode { -3 };
    /// The priority queues did not take the new fragment within kFragmentSwitchTimeout.
    static constexpr std::int64_t kFragmentSwitchTimeoutCode { -4 };
    /// A log file could not be compressed.
    static constexpr std::int64_t kCompressionFailedCode { -5 };

    /// The keys the controller keeps in the kits' defaults store.
    static constexpr const char* kEnableViewControllerTrackingKey {
        "com.ember.insights.enableviewcontrollertracking"
    };
    static constexpr const char* kLastSessionIdentifierKey { "com.ember.insights.lastsessionidentifier" };
    static constexpr const char* kLastSessionTimestampKey { "com.ember.insights.lastsessiontimestamp" };
    static constexpr const char* kLastSessionMetadataKey { "com.ember.insights.lastsessionmetadata" };
    static constexpr const char* kLastMaintenanceDateKey { "com.ember.insights.lastmaintenancedate" };

    /// The queues' names.
    static constexpr const char* kMaintenanceQueueLabel { "com.ember.analytics.maintenance" };
    static constexpr std::array<const char*, 3> kPriorityQueueLabels { "com.ember.analytics.high-priority",
        "com.ember.analytics.medium-priority", "com.ember.analytics.low-priority" };
    /// Seconds a fragment switch waits for the priority queues.
    static constexpr double kFragmentSwitchTimeout { 5 };

    /// Whether the platform offers what analytics needs (its JSON writer always does).
    static bool deviceMeetsMinimumRequirements();
    /// Whether analytics can run in this process: the device meets the requirements and the process is no
    /// app extension (its Info.plist has no "NSExtension" dictionary with a string
    /// "NSExtensionPointIdentifier"; a malformed entry is logged in debug mode and counts as none).
    static bool supported();

    /// The controller of the session `sessionIdentifier` (the launch's execution identifier) storing under
    /// `analyticsRootDirectoryURL`, with the beta token `betaToken`, its metadata made now; null when its
    /// first fragment cannot be prepared.
    static std::shared_ptr<EMBAnalyticsController> create(
        std::string sessionIdentifier, Path analyticsRootDirectoryURL, std::optional<std::string> betaToken);
    /// The same with the given generators, metadata and uploader. The controller becomes the delegate of
    /// the shared view-controller tracker (starting it when the last settings asked to track screens),
    /// opens its first fragment, keeps the previous launch's session information, saves this one's, and
    /// applies the platform's current settings.
    static std::shared_ptr<EMBAnalyticsController> create(std::string sessionIdentifier,
        Path analyticsRootDirectoryURL, std::optional<std::string> betaToken,
        std::shared_ptr<EMBAnalyticsIdentifierGenerator> identifierGenerator,
        std::shared_ptr<EMBAnalyticsTimestampGenerator> timestampGenerator,
        std::shared_ptr<const EMBAnalyticsMetadataController> metadataController,
        std::shared_ptr<EMBAnalyticsNetworkingClient> networkingClient);

    /// Cancels the flush timer and the upload under way.
    ~EMBAnalyticsController() override;
    EMBAnalyticsController(const EMBAnalyticsController&) = delete;
    EMBAnalyticsController& operator=(const EMBAnalyticsController&) = delete;

    const Path& analyticsRootDirectoryURL() const { return m_analyticsRootDirectoryURL; }
    const std::string& sessionIdentifier() const { return m_sessionIdentifier; }
    /// Milliseconds since 1970 when the controller was made.
    std::uint64_t sessionTimestamp() const { return m_sessionTimestamp; }
    /// The directory of the open fragment.
    std::optional<Path> currentSessionFragmentDirectoryURL() const;
    /// The settings in force.
    EMBAnalyticsSettings settings() const;

    bool analyticsFeatureSwitchEnabled() const { return settings().analyticsFeatureSwitchEnabled(); }
    bool customEventsFeatureSwitchEnabled() const { return settings().customEventsFeatureSwitchEnabled(); }
    bool predefinedEventsFeatureSwitchEnabled() const
    {
        return settings().predefinedEventsFeatureSwitchEnabled();
    }

    // Logging, from any thread.

    /// Logs "app_installed" when this launch installed the app (the platform's first install).
    void logAppInstalled();
    /// Logs "app_launched".
    void logAppLaunched();
    /// Writes an "app_crashed" event at `date` into a closed fragment of the previous launch's session,
    /// behind that session's metadata, for the next maintenance to send. Nothing without a previous launch
    /// or while analytics is off.
    void logPreviousSessionCrashedOnDate(platform::foundation::Date date);
    /// Logs a predefined event (null is dropped) unless the settings turned them off, which is logged.
    void logPredefinedEvent(const std::shared_ptr<const EMBTallyPredefinedEvent>& event);
    /// Logs a custom event (null is dropped) unless the settings turned them off, which is logged.
    void logCustomEvent(const std::shared_ptr<const EMBTallyCustomEvent>& event);
    /// Writes `event` into its priority's file, unless it is null, sampled out, or analytics is off; a
    /// priority beyond low drops it. Then starts maintenance when the file has grown past the size limit
    /// (once per file) or, for a high-priority event, when settings are there (else once they arrive).
    void logEvent(const std::shared_ptr<const EMBEventLogEvent>& event);
    /// Logs the event of an application notification (EMBAnalyticsApplicationLifecycleEvent).
    void applicationLifecycleEvent(const platform::foundation::Notification& notification);

    // Settings.

    /// Applies the platform's current settings (the settings-available notification).
    void cairnSettingsDownloaded();
    /// Applies `settings` (the downloaded kit settings; null for none) on the maintenance queue: keeps them,
    /// remembers whether to track screens at the next launch, re-arms the flush timer, deletes the store
    /// when analytics is off, and runs maintenance a high-priority event has been waiting for.
    void setSettings(const platform::foundation::DictionaryRef& settings);

    // Session maintenance, each step on the maintenance queue, its completion called there.

    /// The whole chain: opens a new fragment, packages the closed ones, uploads the packaged ones, prunes,
    /// cleans the store and saves the date; a step's error is logged and the chain goes on. `completion`
    /// (may be empty) always gets no error.
    void maintainSessionFragments(Completion completion);
    /// The chain, logging an error.
    void maintainSessionFragmentsIgnoringError();
    /// Cancels the flush timer and, while analytics is on with a flush interval, arms it anew: first due
    /// the interval after the last maintenance (at once when that is longer ago), then every interval.
    void scheduleSessionMaintenance();
    /// Closes the open fragment by opening a new one.
    void openNewSessionFragment(Completion completion);
    /// Compresses every closed "ACTIVE" fragment into "PACKAGED" and removes it from "ACTIVE"; the first
    /// failure ends the step, leaving that fragment for the next pass.
    void packageClosedSessionFragments(Completion completion);
    /// Uploads every packaged fragment, one request each, removing those the service took; fails at once
    /// without an upload URL or while a pass runs. Failed uploads stay for the next pass.
    void transmitPackagedSessionFragments(Completion completion);
    /// With settings, deletes the oldest files of the lowest priority present until no more than the
    /// settings' pending count of closed log files remain.
    void pruneSessionFragmentLogFiles(Completion completion);
    /// Deletes what does not belong in the store, sparing the open fragment.
    void cleanUpRepository(Completion completion);
    /// The date the last maintenance ended; when none is stored, now, which is stored.
    platform::foundation::Date lastMaintenanceDate();
    void saveLastMaintenanceDate(platform::foundation::Date date);

    /// Returns once the work posted so far to the controller's queues has run.
    void waitUntilIdle();

    void didDetectAppearanceOfViewController(EMBAnalyticsViewControllerTrackingController& tracker,
        const std::shared_ptr<platform::ui::ViewController>& controller) override;
    void didDetectDisappearanceOfViewController(EMBAnalyticsViewControllerTrackingController& tracker,
        const std::shared_ptr<platform::ui::ViewController>& controller) override;

private:
    // The log file of one priority in the open fragment: touched only on that priority's queue.
    struct PriorityLog {
        std::optional<Path> url;
        std::shared_ptr<EMBEventLogEventFile> file;
        bool sizeMaintenanceStarted { false };
    };

    EMBAnalyticsController(std::string sessionIdentifier, Path analyticsRootDirectoryURL,
        std::optional<std::string> betaToken,
        std::shared_ptr<EMBAnalyticsIdentifierGenerator> identifierGenerator,
        std::shared_ptr<EMBAnalyticsTimestampGenerator> timestampGenerator,
        std::shared_ptr<const EMBAnalyticsMetadataController> metadataController,
        std::shared_ptr<EMBAnalyticsNetworkingClient> networkingClient);
    /// The steps of creation that need the controller shared; false when the first fragment failed.
    bool initialize();

    /// Makes the fragment the open one: its directory, then its three files' paths handed to the priority
    /// queues, waiting for them at most kFragmentSwitchTimeout.
    bool prepareNewSessionFragment(const std::string& identifier, std::uint64_t timestamp,
        std::optional<platform::foundation::Error>* error);
    void readLastSessionInformation();
    void saveCurrentSessionInformation();
    void observeNotifications();

    /// Wraps `event` as an analytics event and logs it.
    void logTallyEvent(const std::shared_ptr<const EMBTallyEvent>& event, const std::string& description);
    /// On the event's priority queue: writes it, then starts maintenance when due.
    void appendEvent(const EMBEventLogEvent& event);
    /// On the priority queue: the priority's file, opened with its metadata line when it was not.
    std::shared_ptr<EMBEventLogEventFile> eventFileForPriority(std::uint64_t priority);
    std::string newEventIdentifier();
    std::uint64_t newTimestamp();

    /// On the maintenance queue.
    void applySettings(const platform::foundation::DictionaryRef& settings);
    void purgeAnalyticsDirectory();
    void writePreviousSessionCrash(platform::foundation::Date date);
    bool packageSessionFragment(const Path& fragment, std::optional<platform::foundation::Error>* error);
    /// The fragment directories of every session in the state `stateName`, or nullopt with `error` set.
    std::optional<std::vector<Path>> sessionFragmentDirectories(
        const std::string& stateName, std::optional<platform::foundation::Error>* error);
    /// Uploads the first fragment of the worklist, then the rest; completes when it is empty.
    void transmitNextSessionFragment(const std::string& url, Completion completion);
    std::optional<platform::foundation::Error> pruneLogFiles();
    /// Whether `directory` is the open fragment's.
    bool isCurrentSessionFragmentDirectory(const Path& directory) const;

    void cancelTimer();
    /// Schedules a timer fire `delay` seconds from now, and from each fire the next `interval` later, while
    /// the timer's generation is `generation`.
    void armTimer(double delay, double interval, std::uint64_t generation);

    Path m_analyticsRootDirectoryURL;
    std::string m_sessionIdentifier;
    std::optional<std::string> m_betaToken;
    std::shared_ptr<EMBAnalyticsIdentifierGenerator> m_identifierGenerator;
    std::shared_ptr<EMBAnalyticsTimestampGenerator> m_timestampGenerator;
    std::shared_ptr<const EMBAnalyticsMetadataController> m_metadataController;
    std::shared_ptr<EMBAnalyticsNetworkingClient> m_networkingClient;
    std::uint64_t m_sessionTimestamp { 0 };
    EMBEventLogSessionRepository m_logSessionRepository;

    // Written before any queue work or on the maintenance queue, read from anywhere.
    mutable std::mutex m_mutex;
    EMBAnalyticsSettings m_settings;
    bool m_performSessionMaintenanceAfterSettingsArrive { false };
    std::string m_currentSessionFragmentIdentifier;
    std::uint64_t m_currentSessionFragmentTimestamp { 0 };
    std::optional<Path> m_currentSessionFragmentDirectoryURL;

    // The maintenance queue's own.
    bool m_loggedAnalyticsEnabled { false };
    bool m_analyticsDirectoryPurged { false };
    std::optional<std::vector<Path>> m_sessionFragmentsToTransmit;
    std::optional<std::string> m_lastSessionIdentifier;
    std::uint64_t m_lastSessionTimestamp { 0 };
    std::optional<platform::foundation::Bytes> m_lastSessionMetadata;

    std::mutex m_timerMutex;
    std::uint64_t m_timerGeneration { 0 };
    std::optional<platform::foundation::MainQueue::TaskId> m_timerTask;

    std::array<PriorityLog, 3> m_priorityLogs;
    // Last, so that they go first, while everything their work touches is still there.
    std::array<std::unique_ptr<platform::foundation::DispatchQueue>, 3> m_priorityEventLoggingQueues;
    std::unique_ptr<platform::foundation::DispatchQueue> m_sessionMaintenanceQueue;
};

}
