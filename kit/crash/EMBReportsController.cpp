#include "kit/crash/EMBReportsController.h"

#include "kit/core/CRNMultipartMimeStreamEncoder.h"
#include "kit/core/CRNURLBuilder.h"
#include "kit/crash/EMBApplicationActivity.h"
#include "kit/crash/EMBFileManager.h"
#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/EMBKitRequest.h"
#include "kit/crash/EMBKitLog.h"
#include "kit/crash/EMBNetworkClient.h"
#include "kit/crash/EMBPackageReportOperation.h"
#include "kit/crash/EMBProcessReportOperation.h"
#include "kit/crash/EMBSymbolResolver.h"

#include "platform/foundation/ProcessInfo.h"

#include <filesystem>

namespace kit {

using platform::foundation::Error;
using platform::foundation::OperationQueue;
using platform::foundation::ProcessInfo;
using platform::http::UrlRequest;

namespace {

const EMBKitLog& log()
{
    static const EMBKitLog shared("[Ember:Crash:Reports]");
    return shared;
}

}

EMBReportsController::EMBReportsController(std::shared_ptr<OperationQueue> queue,
    std::weak_ptr<EMBReportsControllerDelegate> delegate, std::shared_ptr<EMBNetworkClient> client,
    std::shared_ptr<const EMBFileManager> fileManager)
    : m_operationQueue(std::move(queue))
    , m_delegate(std::move(delegate))
    , m_networkClient(std::move(client))
    , m_fileManager(std::move(fileManager))
{
}

bool EMBReportsController::prepareAndSubmitReport(
    const std::shared_ptr<EMBInternalReport>& report, bool urgent, bool withProcessing)
{
    bool submitted = false;
    EMBApplicationAcivity(
        ProcessInfo::kActivitySuddenTerminationDisabled | ProcessInfo::kActivityAutomaticTerminationDisabled,
        kActivityReason, [&] { submitted = prepareAndSubmit(report, urgent, withProcessing); });
    return submitted;
}

bool EMBReportsController::prepareAndSubmit(
    const std::shared_ptr<EMBInternalReport>& report, bool urgent, bool withProcessing)
{
    if (withProcessing) {
        if (!m_fileManager->moveItemAtPath(report->path(), m_fileManager->processingPath())) {
            log().write("Unable to move report for processing");
            return false;
        }
        report->setPath(m_fileManager->processingPath() + "/" + report->directoryName());
    }
    // A report taken up again from processing has its symbolication finished, in case a killed launch cut it
    // short; the companions already in place are kept as they are.
    EMBProcessReportOperation(report, std::make_shared<EMBSymbolResolver>()).start();
    if (!packagingEnabled()) {
        log().write("Report packaging disabled");
        return false;
    }
    auto packaging = std::make_shared<EMBPackageReportOperation>(report, m_fileManager);
    packaging->start();
    if (!packaging->finalPath()) {
        log().write("Unable to package report");
        return false;
    }
    if (!m_fileManager->removeItemAtomicallyAtPath(report->path()))
        log().write("Unable to remove a processing item");
    log().progress("Packaged id " + report->identifier() + " for submission");
    return uploadPackagedReportAtPath(*packaging->finalPath(), urgent);
}

bool EMBReportsController::uploadPackagedReportAtPath(const std::string& path, bool urgent)
{
    if (!submissionEnabled()) {
        log().write("Submission disabled");
        return false;
    }
    log().progress(std::string("Submitting report") + (urgent ? " as urgent" : ""));
    return submitPackageMultipartMimeAtPath(path, urgent);
}

bool EMBReportsController::submitPackageMultipartMimeAtPath(const std::string& path, bool synchronously)
{
    log().write(std::string("Submitting ") + (synchronously ? "sync " : "async ") + path);
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    if (error || size == 0) {
        log().progress("Already-submitted report being ignored");
        return false;
    }
    double timeout = synchronously && !m_networkClient->supportsBackgroundRequests() ? m_urgentUploadTimeout
                                                                                     : m_uploadTimeout;
    auto request = mutableRequestWithURL(reportURL(), timeout);
    if (!fillInRequest(request, path)) {
        log().write("Could not determine size of multipart mime file");
        return false;
    }
    m_networkClient->startUploadRequest(request, path, synchronously);
    return true;
}

void EMBReportsController::reportUploadAtPath(const std::string& path, const std::optional<Error>& error)
{
    log().progress("completed submission of " + path);
    if (!error && !cleanUpSubmittedReportAtPath(path))
        log().write("Unable to remove packaged submission");
    if (auto delegate = m_delegate.lock())
        delegate->reportsControllerDidCompletePackageSubmission(*this, path, error);
}

bool EMBReportsController::cleanUpSubmittedReportAtPath(const std::string& path)
{
    return m_fileManager->removeItemAtPath(path);
}

UrlRequest EMBReportsController::mutableRequestWithURL(const std::string& url, double timeout)
{
    UrlRequest request = EMBKitRequest(url, timeout, APIKey());
    request.method = "POST";
    return request;
}

bool EMBReportsController::fillInRequest(UrlRequest& request, const std::string& path) const
{
    auto size = m_fileManager->fileSizeAtPath(path);
    if (!size)
        return false;
    auto boundary = std::filesystem::path(path).stem().string();
    request.setValue(
        CRNMultipartMimeStreamEncoder::contentTypeHTTPHeaderValueWithBoundary(boundary), "Content-Type");
    request.setValue(std::to_string(*size), "Content-Length");
    return true;
}

EMBSettings EMBReportsController::settings()
{
    auto delegate = m_delegate.lock();
    return delegate ? delegate->settingsForReportsController(*this) : EMBSettings();
}

bool EMBReportsController::submissionEnabled()
{
    return settings().shouldSubmitReports();
}

bool EMBReportsController::packagingEnabled()
{
    return settings().shouldPackageReports();
}

std::string EMBReportsController::reportEndpoint()
{
    return settings().reportsEndpoint();
}

std::string EMBReportsController::reportURL()
{
    auto builder = CRNURLBuilder::URLWithBase(reportEndpoint());
    builder.appendComponent("/sdk-api/v1/platforms/");
    builder.appendComponent("ios");
    builder.appendComponent("/apps/");
    builder.appendComponent(appBundleIdentifier());
    builder.appendComponent("/reports");
    return builder.URLString();
}

std::string EMBReportsController::APIKey()
{
    auto delegate = m_delegate.lock();
    return delegate ? delegate->APIKeyForReportsController(*this) : std::string();
}

std::string EMBReportsController::appBundleIdentifier()
{
    auto delegate = m_delegate.lock();
    return delegate ? delegate->bundleIdentifierForReportsController(*this) : std::string();
}

}
