#pragma once

#include "kit/crash/EMBSettings.h"

#include "platform/foundation/Error.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/http/UrlRequest.h"

#include <memory>
#include <optional>
#include <string>

namespace kit {

class EMBFileManager;
class EMBInternalReport;
class EMBNetworkClient;
class EMBReportsController;

/// What the reports controller asks of and tells the crash reporting controller.
class EMBReportsControllerDelegate {
public:
    virtual ~EMBReportsControllerDelegate() = default;
    /// The settings of this launch (endpoint, packaging and submission switches).
    virtual EMBSettings settingsForReportsController(EMBReportsController& controller) = 0;
    /// The kit API key sent with every upload.
    virtual std::string APIKeyForReportsController(EMBReportsController& controller) = 0;
    /// The app's bundle identifier, which names the app in the upload URL.
    virtual std::string bundleIdentifierForReportsController(EMBReportsController& controller) = 0;
    /// The upload of the package at `path` has ended (no error: accepted, and the package is deleted).
    virtual void reportsControllerDidCompletePackageSubmission(EMBReportsController& controller,
        const std::string& path, const std::optional<platform::foundation::Error>& error)
        = 0;
};

/// Takes a report directory through the pipeline: into processing, symbolicated, packed into one upload
/// package in prepared, the directory deleted, and the package handed to the upload client; after the
/// client's outcome, a package that was accepted is deleted. A step that fails is logged and answered
/// false, and nothing is deleted then: a report stays in processing, a package in prepared, for a later
/// attempt. Every step is one rename or a whole file renamed into place, so a launch killed at any point
/// leaves the report whole in one place for the next launch to take up.
///
/// Runs on the crash kit's work queue, or on the thread that starts crash reporting for an urgent report.
class EMBReportsController {
public:
    /// The reason of the activity that keeps the program from exiting while a report is prepared.
    static constexpr const char* kActivityReason { "Ember Crash Report Processing" };

    /// A controller on `queue` (the crash kit's work queue) uploading through `client`.
    EMBReportsController(std::shared_ptr<platform::foundation::OperationQueue> queue,
        std::weak_ptr<EMBReportsControllerDelegate> delegate, std::shared_ptr<EMBNetworkClient> client,
        std::shared_ptr<const EMBFileManager> fileManager);

    /// Takes `report` through the pipeline inside a process activity: with `withProcessing`, moves it from
    /// active into processing (a report already in processing is passed without); symbolicates what is not
    /// yet symbolicated (all of a new report, nothing of one a launch processed before, the rest of one a
    /// killed launch left half done); then packs it, deletes its directory and uploads the package,
    /// synchronously when `urgent`. Answers true when the package was handed to the upload client.
    bool prepareAndSubmitReport(
        const std::shared_ptr<EMBInternalReport>& report, bool urgent, bool withProcessing);
    /// Hands the package at `path` to the upload client unless submission is switched off; true when handed.
    bool uploadPackagedReportAtPath(const std::string& path, bool urgent);
    /// Builds the package's request and hands it over; false for a package that is empty or gone (already
    /// submitted) or whose size cannot be read.
    bool submitPackageMultipartMimeAtPath(const std::string& path, bool synchronously);
    /// The upload client's outcome for the package at `path` (forwarded by the crash reporting controller):
    /// deletes an accepted package, then tells the delegate.
    void reportUploadAtPath(const std::string& path, const std::optional<platform::foundation::Error>& error);
    /// Deletes a submitted package; false (logged) when it cannot be.
    bool cleanUpSubmittedReportAtPath(const std::string& path);

    /// A POST to `url` with the kit's headers, the API key and the locale, not served from a cache.
    platform::http::UrlRequest mutableRequestWithURL(const std::string& url, double timeout);
    /// Sets the package's "Content-Type" (its boundary is the file's name without the extension) and
    /// "Content-Length"; false when its size cannot be read.
    bool fillInRequest(platform::http::UrlRequest& request, const std::string& path) const;

    bool submissionEnabled();
    bool packagingEnabled();
    /// The reports service's base URL.
    std::string reportEndpoint();
    /// <endpoint>/sdk-api/v1/platforms/ios/apps/<bundle identifier>/reports.
    std::string reportURL();
    std::string APIKey();
    std::string appBundleIdentifier();

    /// Seconds an upload may take; 10 by default.
    double uploadTimeout() const { return m_uploadTimeout; }
    void setUploadTimeout(double seconds) { m_uploadTimeout = seconds; }
    /// Seconds an urgent upload may take while it holds up the start of crash reporting; 2 by default.
    double urgentUploadTimeout() const { return m_urgentUploadTimeout; }
    void setUrgentUploadTimeout(double seconds) { m_urgentUploadTimeout = seconds; }

    const std::shared_ptr<EMBNetworkClient>& networkClient() const { return m_networkClient; }
    const std::shared_ptr<const EMBFileManager>& fileManager() const { return m_fileManager; }
    const std::shared_ptr<platform::foundation::OperationQueue>& operationQueue() const
    {
        return m_operationQueue;
    }

private:
    bool prepareAndSubmit(const std::shared_ptr<EMBInternalReport>& report, bool urgent, bool withProcessing);
    EMBSettings settings();

    std::shared_ptr<platform::foundation::OperationQueue> m_operationQueue;
    std::weak_ptr<EMBReportsControllerDelegate> m_delegate;
    std::shared_ptr<EMBNetworkClient> m_networkClient;
    std::shared_ptr<const EMBFileManager> m_fileManager;
    double m_uploadTimeout { 10 };
    double m_urgentUploadTimeout { 2 };
};

}
