#include "kit/crash/EMBCrashReportingController.h"

#include "kit/core/Cairn.h"
#include "kit/crash/EMBFileManager.h"
#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/EMBKitLog.h"
#include "kit/crash/EMBLaunchMarker.h"
#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/capture/EMBMachException.h"
#include "kit/crash/capture/EMBProfiling.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"

namespace kit {

using platform::foundation::Value;

namespace {

// Writes an internal key of this launch's report on the logging queue, once capture has set logging up.
void writeInternalKey(std::string key, Value value)
{
    if (auto* queue = EMBUserLoggingQueue()) {
        queue->async([key = std::move(key), value = std::move(value)] {
            EMBUserLoggingWriteInternalKeyValue(key, value);
        });
    }
}

Value deviceOrientation()
{
    return Value(std::int64_t(platform::ui::Device::current().orientation()));
}

Value interfaceOrientation()
{
    return Value(std::int64_t(platform::ui::Application::shared().statusBarOrientation()));
}

std::optional<std::string> mainBundleIdentifier()
{
    auto identifier = platform::foundation::Bundle::main()->bundleIdentifier();
    if (identifier && identifier->empty())
        return std::nullopt;
    return identifier;
}

}

const EMBKitLog& EMBCrashReportingController::crashLog()
{
    static const EMBKitLog log("[Ember:Crash]");
    return log;
}

std::shared_ptr<EMBCrashReportingController> EMBCrashReportingController::initWithFileManager(
    std::shared_ptr<EMBFileManager> fileManager, std::weak_ptr<EMBCrashReportingControllerDelegate> delegate)
{
    auto controller
        = std::make_shared<EMBCrashReportingController>(std::move(fileManager), std::move(delegate));
    controller->m_networkClient
        = EMBNetworkClient::create(controller->m_operationQueue, controller->m_fileManager, controller);
    return controller;
}

EMBCrashReportingController::EMBCrashReportingController(
    std::shared_ptr<EMBFileManager> fileManager, std::weak_ptr<EMBCrashReportingControllerDelegate> delegate)
    : m_fileManager(std::move(fileManager))
    , m_delegate(std::move(delegate))
    , m_operationQueue(std::make_shared<platform::foundation::OperationQueue>(kWorkQueueName, 1))
{
}

bool EMBCrashReportingController::startWithProfilingMark(
    std::uint64_t mark, const std::optional<std::string>& betaToken)
{
    if (!mainBundleIdentifier()) {
        platform::foundation::Log("[Ember]").write(
            "An application must have a valid bundle idenifier in its Info.plist");
        return false;
    }
    if (!settings().crashReportingEnabled()) {
        crashLog().write("Reporting is disabled");
        m_fileManager->removeContentsOfAllPaths();
        return false;
    }
    // The legacy layout goes before this launch's directories are made: done later, it would take them too.
    m_fileManager->removeLegacyDirectories();
    if (!m_fileManager->prepareForNewLaunch())
        return false;

    EMBLaunchMarker marker(launchMarkerPath());
    m_lastLaunchFailed = marker.exists();
    if (m_lastLaunchFailed)
        crashLog().progress("Last launch failed");
    marker.create();

    auto earlierReports = m_fileManager->activePathContents();
    bool hasReport = setUpCurrentReport();
    startCrashReporter(mark, betaToken);

    // Packages that earlier launches left waiting, listed before this launch's own submissions (which run
    // on the work queue from now on) can add to them; an urgent submission that failed has left its
    // package there too, and is listed with them.
    auto waitingPackages = m_fileManager->preparedPathContents();
    if (processExistingActiveReports(earlierReports, m_lastLaunchFailed))
        waitingPackages = m_fileManager->preparedPathContents();
    handleRemainingProcessingReports();
    handleRemainingPreparedPackages(waitingPackages);

    writeInternalKey("com.ember.kit-start-time", Value(EMBProfileEnd(mark)));
    return hasReport;
}

bool EMBCrashReportingController::setUpCurrentReport()
{
    auto identifier = Cairn::sharedSDK().executionIdentifier();
    auto path = m_fileManager->setupNewPathForExecutionIdentifier(identifier);
    m_currentReport = path ? EMBInternalReport::reportWithPath(*path, identifier) : nullptr;
    if (!m_currentReport)
        crashLog().write("Unable to setup a new report");
    return m_currentReport != nullptr;
}

void EMBCrashReportingController::startCrashReporter(
    std::uint64_t mark, const std::optional<std::string>& betaToken)
{
    auto delegate = m_delegate.lock();
    std::string apiKey = delegate ? delegate->APIKeyForCrashReportingController(*this).value_or("") : "";
    std::string installIdentifier = delegate ? delegate->installIDForCrashReportingController(*this) : "";
    auto settings = this->settings();

    EMBContextInitParameters parameters;
    parameters.apiKey = apiKey.c_str();
    parameters.betaToken = betaToken ? betaToken->c_str() : nullptr;
    parameters.installIdentifier = installIdentifier.c_str();
    parameters.firstInstall = delegate && delegate->isFirstInstallForCrashReportingController(*this);
    if (m_currentReport) {
        parameters.reportIdentifier = m_currentReport->identifier().c_str();
        parameters.reportDirectory = m_currentReport->path().c_str();
    }
    parameters.machExceptionExclusionMask = machExceptionExclusionMask();
    parameters.errorReportingEnabled = settings.errorReportingEnabled();
    parameters.customExceptionsEnabled = settings.customExceptionsEnabled();
    parameters.maximumCustomExceptions = settings.maxCustomExceptions();
    parameters.errorLogBufferSize = settings.errorLogBufferSize();
    parameters.logBufferSize = settings.logBufferSize();
    parameters.maximumCustomKeys = settings.maxCustomKeys();
    if (delegate && delegate->shouldInstallCrashCallback())
        parameters.crashCallbackTarget = this;
    EMBContextInitialize(&parameters);

    observeApplicationState();
    setupCompleted(mark);
}

std::uint32_t EMBCrashReportingController::machExceptionExclusionMask()
{
    auto delegate = m_delegate.lock();
    std::uint32_t mask = 0;
    for (int signal : kEMBFatalSignals) {
        if (delegate && delegate->reportingControllerEnsureDeliveryOfUnixSignal(*this, signal))
            mask |= EMBMachExceptionMaskForSignal(signal);
    }
    return mask;
}

void EMBCrashReportingController::observeApplicationState()
{
    using platform::ui::Application;
    using platform::ui::Device;
    writeInternalKey("com.ember.in-background", Value("0"));
    writeInternalKey("com.ember.device-orientation", deviceOrientation());
    writeInternalKey("com.ember.ui-orientation", interfaceOrientation());

    auto& center = platform::foundation::NotificationCenter::defaultCenter();
    auto record = [](const char* key, std::function<Value()> value) {
        return [key, value = std::move(value)](
                   const platform::foundation::Notification&) { writeInternalKey(key, value()); };
    };
    m_observers = {
        center.addObserver(Application::willEnterForegroundNotification, nullptr,
            record("com.ember.in-background", [] { return Value("0"); })),
        center.addObserver(Application::didEnterBackgroundNotification, nullptr,
            record("com.ember.in-background", [] { return Value("1"); })),
        center.addObserver(Device::orientationDidChangeNotification, nullptr,
            record("com.ember.device-orientation", deviceOrientation)),
        center.addObserver(Application::didChangeStatusBarOrientationNotification, nullptr,
            record("com.ember.ui-orientation", interfaceOrientation)),
    };
}

void EMBCrashReportingController::setupCompleted(std::uint64_t mark)
{
    auto& mainQueue = platform::foundation::mainQueue();
    mainQueue.after(kSetupCheckDelay, [weak = weak_from_this()] {
        EMBContextCheckHandlers();
        auto self = weak.lock();
        if (self && self->shouldPrompt() && !self->delegateTakesReports()) {
            crashLog().write(
                "WARNING: the user prompt feature is enabled. As of Ember 3.0.0, implementing a user "
                "prompt is the application's responsibility. See Ember's notes about "
                "-emberDidDetectReportForLastExecution:completionHandler:");
        }
    });
    // The launch has lived to the main queue's first turn: it no longer counts as one that died early.
    mainQueue.async([marker = EMBLaunchMarker(launchMarkerPath()), mark] {
        marker.remove();
        writeInternalKey("com.ember.first-run-loop-time", Value(EMBProfileEnd(mark)));
    });
}

std::string EMBCrashReportingController::launchMarkerPath() const
{
    return m_fileManager->structurePath() + "/" + kLaunchMarkerName;
}

void EMBCrashReportingController::deliverCrashDelegateCallback()
{
    if (auto delegate = m_delegate.lock())
        delegate->detectedCrash();
}

EMBSettings EMBCrashReportingController::settings()
{
    std::lock_guard lock(m_mutex);
    if (!m_settings) {
        auto delegate = m_delegate.lock();
        m_settings = delegate ? delegate->settingsForCrashReportingController(*this) : EMBSettings();
    }
    return *m_settings;
}

std::shared_ptr<EMBReportsController> EMBCrashReportingController::reportsController()
{
    std::lock_guard lock(m_mutex);
    if (!m_reportsController) {
        m_reportsController = std::make_shared<EMBReportsController>(
            m_operationQueue, weak_from_this(), m_networkClient, m_fileManager);
    }
    return m_reportsController;
}

bool EMBCrashReportingController::delegateTakesReports()
{
    auto delegate = m_delegate.lock();
    return delegate && delegate->reportingControllerMustInformDelegateOfReports(*this);
}

bool EMBCrashReportingController::networkClientCanUseBackgroundSessions(EMBNetworkClient&)
{
    auto delegate = m_delegate.lock();
    return delegate && delegate->reportingControllerCanUseBackgroundSessions(*this);
}

void EMBCrashReportingController::networkClientDidFinishUploadWithPath(
    EMBNetworkClient&, const std::string& path, const std::optional<platform::foundation::Error>& error)
{
    reportsController()->reportUploadAtPath(path, error);
}

EMBSettings EMBCrashReportingController::settingsForReportsController(EMBReportsController&)
{
    return settings();
}

std::string EMBCrashReportingController::APIKeyForReportsController(EMBReportsController&)
{
    auto delegate = m_delegate.lock();
    return delegate ? delegate->APIKeyForCrashReportingController(*this).value_or("") : "";
}

std::string EMBCrashReportingController::bundleIdentifierForReportsController(EMBReportsController&)
{
    return mainBundleIdentifier().value_or("");
}

}
