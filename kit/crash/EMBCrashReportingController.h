#pragma once

#include "kit/crash/EMBAlert.h"
#include "kit/crash/EMBNetworkClient.h"
#include "kit/crash/EMBReportsController.h"
#include "kit/crash/EMBSettings.h"
#include "kit/crash/capture/EMBContext.h"

#include "platform/foundation/Error.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/OperationQueue.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kit {

class EMBCrashReportingController;
class EMBFileManager;
class EMBInternalReport;
class EMBKitLog;

/// What the crash reporting controller asks of and tells the crash kit's facade. The first four questions
/// must be answered; the rest have the answers of an app that takes no part (no signal kept for delivery,
/// no crash callback, reports sent without being offered to the app, no background uploads).
class EMBCrashReportingControllerDelegate {
public:
    virtual ~EMBCrashReportingControllerDelegate() = default;

    /// The kit API key, or nullopt when none is configured.
    virtual std::optional<std::string> APIKeyForCrashReportingController(
        EMBCrashReportingController& controller)
        = 0;
    /// The installation identifier (upper-case UUID with dashes).
    virtual std::string installIDForCrashReportingController(EMBCrashReportingController& controller) = 0;
    /// Whether this launch made the installation identifier.
    virtual bool isFirstInstallForCrashReportingController(EMBCrashReportingController& controller) = 0;
    /// The crash kit's settings; asked once, at the first need, and kept for the launch.
    virtual EMBSettings settingsForCrashReportingController(EMBCrashReportingController& controller) = 0;

    /// Whether the fault behind `signal` must reach the process as that signal. False by default.
    virtual bool reportingControllerEnsureDeliveryOfUnixSignal(EMBCrashReportingController&, int /*signal*/)
    {
        return false;
    }
    /// Whether detectedCrash() is to be called while the process is crashing. False by default.
    virtual bool shouldInstallCrashCallback() { return false; }
    /// The process is crashing: called on the crashing thread, where only async-signal-safe work may be done.
    virtual void detectedCrash() { }
    /// Whether the app wants to decide on the reports of earlier launches, which rules out sending an urgent
    /// report during start. False by default.
    virtual bool reportingControllerMustInformDelegateOfReports(EMBCrashReportingController&)
    {
        return false;
    }
    /// An earlier launch left `report`, which is worth sending; told before anything is decided about it.
    virtual void reportingControllerInternalDidDetectReportForLastExecution(
        EMBCrashReportingController&, const std::shared_ptr<EMBInternalReport>& /*report*/)
    {
    }
    /// Asks whether `report` of an earlier launch is to be sent: the delegate calls `completionHandler` once,
    /// from any thread and at any time, with true (send, after the prompt where that is on) or false
    /// (delete). Called on the thread that starts crash reporting. Sends at once by default.
    virtual void reportingControllerDidDetectReportForLastExecution(EMBCrashReportingController&,
        const std::shared_ptr<EMBInternalReport>& /*report*/,
        std::function<void(bool submit)> completionHandler)
    {
        completionHandler(true);
    }
    /// Whether uploads may go on in a session that outlives the launch. False by default.
    virtual bool reportingControllerCanUseBackgroundSessions(EMBCrashReportingController&) { return false; }
};

/// Runs crash reporting for one launch.
///
/// start makes this launch's report directory and hands capture what it needs to install its handlers;
/// then it takes up what earlier launches left: each earlier report directory worth sending is offered to
/// the delegate and then packaged and uploaded (or deleted), reports stopped midway in processing are
/// packaged, and packages waiting in prepared are uploaded. A launch that dies before the main queue's
/// first turn leaves the launch marker behind; the next launch then sends the report it left at once, on
/// the starting thread, before start returns (unless the app takes reports itself or the prompt is on).
///
/// With the settings' prompt on, a report the delegate lets through is put to the user first in an alert
/// ("Don't Send", "Send", "Always Send"; "Always Send" sends this report only), one alert at a time.
///
/// Everything that touches the report directories after start runs on the crash kit's work queue
/// ("com.cairn.ember.ios.work-queue"), one operation at a time. A package whose upload failed stays in
/// prepared and is sent again 600 seconds later (on the main queue's clock), and at the next launch.
///
/// Make it with initWithFileManager(); the delegate is held weakly.
class EMBCrashReportingController final : public EMBNetworkClientDelegate,
                                          public EMBReportsControllerDelegate,
                                          public EMBAlertDelegate,
                                          public EMBCrashCallbackTarget,
                                          public std::enable_shared_from_this<EMBCrashReportingController> {
public:
    /// The name of the work queue.
    static constexpr const char* kWorkQueueName { "com.cairn.ember.ios.work-queue" };
    /// The launch marker's file name in the structure directory.
    static constexpr const char* kLaunchMarkerName { "launchmarker" };
    /// Seconds after start at which the handlers are checked.
    static constexpr double kSetupCheckDelay { 2.0 };
    /// Seconds after a failed upload at which the package is sent again.
    static constexpr double kResubmissionDelay { 600 };

    /// A controller over `fileManager`'s layout with its work queue and upload client; nothing is touched
    /// until start.
    static std::shared_ptr<EMBCrashReportingController> initWithFileManager(
        std::shared_ptr<EMBFileManager> fileManager,
        std::weak_ptr<EMBCrashReportingControllerDelegate> delegate);

    /// Starts crash reporting for this launch (see the class comment), on the calling thread. `mark` is the
    /// profiling clock's reading when the kit's start began (EMBProfilingStart()); `betaToken` goes into
    /// the reports. False when there is no bundle identifier, when the settings switch reporting off (every
    /// stored report is deleted then, and no handler is installed), when the report directories cannot be
    /// made, or when this launch's report directory cannot be set up (earlier reports are taken up all the
    /// same, but capture, which writes into that directory, installs no handler). Call once.
    bool startWithProfilingMark(std::uint64_t mark, const std::optional<std::string>& betaToken);

    /// Capture's crash callback: tells the delegate. Called on the crashing thread.
    void deliverCrashDelegateCallback() override;

    /// This launch's report, or null before start or when it could not be set up.
    std::shared_ptr<EMBInternalReport> currentReport() const { return m_currentReport; }
    /// Whether start found the launch marker of a launch that died before its first main-queue turn.
    bool lastLaunchFailed() const { return m_lastLaunchFailed; }
    /// The launch marker's path.
    std::string launchMarkerPath() const;

    /// The settings of this launch: asked of the delegate at the first need, then kept.
    EMBSettings settings();
    /// The reports controller, made at the first need.
    std::shared_ptr<EMBReportsController> reportsController();
    const std::shared_ptr<EMBNetworkClient>& networkClient() const { return m_networkClient; }
    const std::shared_ptr<EMBFileManager>& fileManager() const { return m_fileManager; }
    const std::shared_ptr<platform::foundation::OperationQueue>& operationQueue() const
    {
        return m_operationQueue;
    }
    /// The report the send-report prompt on screen asks about, or null (main queue).
    std::shared_ptr<EMBInternalReport> promptedReport() const { return m_promptedReport; }
    /// The send-report prompt on screen, or null (main queue).
    std::shared_ptr<EMBAlert> crashReportSubmissionAlert() const { return m_crashReportSubmissionAlert; }

    /// Waits until the work queue has run everything added so far.
    void waitUntilIdle() { m_operationQueue->waitUntilAllOperationsAreFinished(); }

    // The upload client's delegate.
    bool networkClientCanUseBackgroundSessions(EMBNetworkClient& client) override;
    void networkClientDidFinishUploadWithPath(EMBNetworkClient& client, const std::string& path,
        const std::optional<platform::foundation::Error>& error) override;

    // The reports controller's delegate.
    EMBSettings settingsForReportsController(EMBReportsController& controller) override;
    std::string APIKeyForReportsController(EMBReportsController& controller) override;
    std::string bundleIdentifierForReportsController(EMBReportsController& controller) override;
    /// A failed upload is logged and sent again kResubmissionDelay seconds later.
    void reportsControllerDidCompletePackageSubmission(EMBReportsController& controller,
        const std::string& path, const std::optional<platform::foundation::Error>& error) override;

    /// A button of the send-report prompt was pressed: cancel deletes the report, any other sends it; then
    /// the next waiting prompt shows. A press on any other alert is ignored.
    void alertViewClickedButtonAtIndex(EMBAlert& alert, std::size_t buttonIndex) override;

    /// Made by initWithFileManager() (public for std::make_shared).
    EMBCrashReportingController(std::shared_ptr<EMBFileManager> fileManager,
        std::weak_ptr<EMBCrashReportingControllerDelegate> delegate);

private:
    /// The "[Ember:Crash]" log.
    static const EMBKitLog& crashLog();

    // Start, step by step.
    bool setUpCurrentReport();
    void startCrashReporter(std::uint64_t mark, const std::optional<std::string>& betaToken);
    std::uint32_t machExceptionExclusionMask();
    void observeApplicationState();
    void setupCompleted(std::uint64_t mark);

    // What earlier launches left.
    static std::shared_ptr<EMBInternalReport> openReport(const std::string& path);
    bool processExistingActiveReports(const std::vector<std::string>& paths, bool urgent);
    bool processExistingReport(const std::string& path, bool urgent);
    void handleRemainingProcessingReports();
    void handleRemainingPreparedPackages(const std::vector<std::string>& packages);
    bool canProcessUrgentReports();
    bool shouldPrompt();
    bool delegateTakesReports();

    // Work on the work queue.
    void addOperation(std::function<void(EMBCrashReportingController& controller)> work);
    void submitReport(const std::shared_ptr<EMBInternalReport>& report);
    void deleteReport(const std::shared_ptr<EMBInternalReport>& report, const char* reason);
    void uploadPackage(const std::string& path);

    // The send-report prompt: one on screen at a time, the others waiting their turn (main queue).
    void promptToSubmitReport(const std::shared_ptr<EMBInternalReport>& report);
    void showNextPrompt();

    std::shared_ptr<EMBFileManager> m_fileManager;
    std::weak_ptr<EMBCrashReportingControllerDelegate> m_delegate;
    std::shared_ptr<platform::foundation::OperationQueue> m_operationQueue;
    std::shared_ptr<EMBNetworkClient> m_networkClient;

    std::mutex m_mutex;
    std::shared_ptr<EMBReportsController> m_reportsController;
    std::optional<EMBSettings> m_settings;

    std::shared_ptr<EMBInternalReport> m_currentReport;
    bool m_lastLaunchFailed { false };
    std::vector<platform::foundation::ObserverToken> m_observers;

    std::deque<std::shared_ptr<EMBInternalReport>> m_waitingPrompts;
    std::shared_ptr<EMBInternalReport> m_promptedReport;
    std::shared_ptr<EMBAlert> m_crashReportSubmissionAlert;
};

}
