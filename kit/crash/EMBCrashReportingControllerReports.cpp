// What earlier launches left behind, the submission outcomes and the send-report prompt.

#include "kit/crash/EMBCrashReportingController.h"

#include "kit/crash/EMBApplication.h"
#include "kit/crash/EMBFileManager.h"
#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/EMBKitLog.h"
#include "kit/crash/capture/EMBSDKLog.h"

#include "platform/foundation/MainQueue.h"

#include <atomic>
#include <filesystem>

namespace kit {

// The report in `path`. A directory whose metadata cannot be read (the launch died while writing it) is
// taken up under its own name, which is the identifier of the launch that made it: left alone, it would
// stay in active for ever.
std::shared_ptr<EMBInternalReport> EMBCrashReportingController::openReport(const std::string& path)
{
    if (auto report = EMBInternalReport::reportWithPath(path))
        return report;
    auto name = std::filesystem::path(path).filename().string();
    crashLog().write("Unable to read the metadata of report " + name + ", taking it up under that name");
    return EMBInternalReport::reportWithPath(path, name);
}

bool EMBCrashReportingController::processExistingActiveReports(
    const std::vector<std::string>& paths, bool urgent)
{
    bool sentUrgently = false;
    for (const auto& path : paths)
        sentUrgently = processExistingReport(path, urgent) || sentUrgently;
    return sentUrgently;
}

bool EMBCrashReportingController::processExistingReport(const std::string& path, bool urgent)
{
    auto report = openReport(path);
    if (!report)
        return false;
    if (!report->needsToBeSubmitted()) {
        addOperation([report](auto& controller) { controller.deleteReport(report, nullptr); });
        return false;
    }
    auto delegate = m_delegate.lock();
    if (delegate)
        delegate->reportingControllerInternalDidDetectReportForLastExecution(*this, report);
    if (urgent && canProcessUrgentReports()) {
        // The launch before died before it could run: it may die again as early, so its report goes now.
        reportsController()->prepareAndSubmitReport(report, true, true);
        return true;
    }
    auto answered = std::make_shared<std::atomic<bool>>(false);
    auto completion = [weak = weak_from_this(), report, answered](bool submit) {
        auto self = weak.lock();
        if (!self || answered->exchange(true))
            return;
        self->addOperation([report, submit](auto& controller) {
            if (!submit)
                controller.deleteReport(report, "Removing report at request of delegate");
            else if (controller.shouldPrompt())
                controller.promptToSubmitReport(report);
            else
                controller.submitReport(report);
        });
    };
    if (delegate)
        delegate->reportingControllerDidDetectReportForLastExecution(*this, report, completion);
    else
        completion(true);
    return false;
}

void EMBCrashReportingController::handleRemainingProcessingReports()
{
    addOperation([](auto& controller) {
        for (const auto& path : controller.m_fileManager->processingPathContents()) {
            if (auto report = openReport(path))
                controller.reportsController()->prepareAndSubmitReport(report, false, false);
        }
    });
}

void EMBCrashReportingController::handleRemainingPreparedPackages(const std::vector<std::string>& packages)
{
    m_networkClient->attemptToReconnectBackgroundSessionWithCompletionBlock(
        [weak = weak_from_this(), packages] {
            if (auto self = weak.lock()) {
                self->addOperation([packages](auto& controller) {
                    for (const auto& package : packages) {
                        if (std::filesystem::exists(package))
                            controller.uploadPackage(package);
                    }
                });
            }
        });
}

bool EMBCrashReportingController::canProcessUrgentReports()
{
    return settings().canProcessUrgentReports() && !shouldPrompt() && !delegateTakesReports();
}

bool EMBCrashReportingController::shouldPrompt()
{
    return settings().userPromptEnabled();
}

void EMBCrashReportingController::addOperation(std::function<void(EMBCrashReportingController&)> work)
{
    m_operationQueue->addOperation([self = shared_from_this(), work = std::move(work)] { work(*self); });
}

void EMBCrashReportingController::submitReport(const std::shared_ptr<EMBInternalReport>& report)
{
    reportsController()->prepareAndSubmitReport(report, false, true);
}

void EMBCrashReportingController::deleteReport(
    const std::shared_ptr<EMBInternalReport>& report, const char* reason)
{
    if (reason)
        crashLog().progress(reason);
    m_fileManager->removeItemAtomicallyAtPath(report->path());
}

void EMBCrashReportingController::uploadPackage(const std::string& path)
{
    reportsController()->uploadPackagedReportAtPath(path, false);
}

void EMBCrashReportingController::reportsControllerDidCompletePackageSubmission(
    EMBReportsController&, const std::string& path, const std::optional<platform::foundation::Error>& error)
{
    if (!error) {
        crashLog().progress("report submission successful");
        return;
    }
    auto description = error->localizedDescription();
    crashLog().write("report submission failed with error " + description);
    EMBSDKFileLog("%s: Error: failed to submit report '%s'\n", __func__, description.c_str());
    platform::foundation::mainQueue().after(kResubmissionDelay, [weak = weak_from_this(), path] {
        if (auto self = weak.lock()) {
            self->addOperation([path](auto& controller) {
                crashLog().progress("re-attempting report submission");
                controller.uploadPackage(path);
            });
        }
    });
}

void EMBCrashReportingController::promptToSubmitReport(const std::shared_ptr<EMBInternalReport>& report)
{
    if (EMBApplicationIsExtension()) {
        submitReport(report);
        return;
    }
    crashLog().progress("Displaying permission alert");
    platform::foundation::mainQueue().async([weak = weak_from_this(), report] {
        if (auto self = weak.lock()) {
            self->m_waitingPrompts.push_back(report);
            if (!self->m_crashReportSubmissionAlert)
                self->showNextPrompt();
        }
    });
}

void EMBCrashReportingController::showNextPrompt()
{
    auto settings = this->settings();
    while (!m_waitingPrompts.empty()) {
        auto report = m_waitingPrompts.front();
        m_waitingPrompts.pop_front();
        auto alert = EMBAlert::alertWithTitle(settings.interactivePromptTitle(),
            settings.interactivePromptMessage(), weak_from_this(), settings.interactivePromptCancelTitle(),
            settings.interactivePromptSendTitle());
        auto alwaysSend = settings.interactivePromptAlwaysSendTitle();
        if (!alwaysSend.empty())
            alert->addButtonWithTitle(alwaysSend);
        if (alert->show()) {
            m_promptedReport = report;
            m_crashReportSubmissionAlert = alert;
            return;
        }
        crashLog().write("Unable to display permission alert for report " + report->identifier()
            + ", it waits for the next launch");
    }
}

void EMBCrashReportingController::alertViewClickedButtonAtIndex(EMBAlert& alert, std::size_t buttonIndex)
{
    if (&alert != m_crashReportSubmissionAlert.get())
        return;
    auto report = std::exchange(m_promptedReport, nullptr);
    m_crashReportSubmissionAlert = nullptr;
    // "Always Send" sends like "Send"; the next report is asked about again.
    bool cancelled = alert.cancelButtonIndex() == buttonIndex;
    addOperation([report, cancelled](auto& controller) {
        if (cancelled)
            controller.deleteReport(report, "Removing report at request of user");
        else
            controller.submitReport(report);
    });
    showNextPrompt();
}

}
