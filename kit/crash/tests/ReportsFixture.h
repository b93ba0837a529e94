#pragma once

#include "kit/crash/EMBFileManager.h"
#include "kit/crash/EMBNetworkClient.h"
#include "kit/crash/EMBReportsController.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kit::testing {

/// The crash reporting controller's side of the pipeline, as the reports controller and the upload client
/// see it: settings from the environment, the test back-end's key, and each upload's outcome passed on to
/// the reports controller and recorded.
class PipelineDelegate : public EMBReportsControllerDelegate, public EMBNetworkClientDelegate {
public:
    struct Submission {
        std::string path;
        std::optional<platform::foundation::Error> error;
    };

    std::weak_ptr<EMBReportsController> controller;
    /// What settingsForReportsController() saw of the process's activities.
    std::size_t activitiesSeen { 0 };

    EMBSettings settingsForReportsController(EMBReportsController&) override;
    std::string APIKeyForReportsController(EMBReportsController&) override;
    std::string bundleIdentifierForReportsController(EMBReportsController&) override
    {
        return "com.zorvik.Zorvik";
    }
    void reportsControllerDidCompletePackageSubmission(EMBReportsController&, const std::string& path,
        const std::optional<platform::foundation::Error>& error) override;
    bool networkClientCanUseBackgroundSessions(EMBNetworkClient&) override { return false; }
    void networkClientDidFinishUploadWithPath(EMBNetworkClient&, const std::string& path,
        const std::optional<platform::foundation::Error>& error) override;

    std::vector<Submission> submissions() const;

private:
    mutable std::mutex m_mutex;
    std::vector<Submission> m_submissions;
};

/// One launch's report pipeline on a root: the upload client and the reports controller on a work queue of
/// their own, the reports endpoint taken from the environment ("EmberReportsEndpoint"). Starts the launch
/// (prepareForNewLaunch) and waits for the queue when it goes away.
struct ReportPipeline {
    explicit ReportPipeline(const std::string& root);
    ~ReportPipeline();

    /// Runs the main queue until the delegate has heard `count` outcomes.
    bool waitForSubmissions(std::size_t count);

    std::shared_ptr<PipelineDelegate> delegate { std::make_shared<PipelineDelegate>() };
    std::shared_ptr<EMBFileManager> files;
    std::shared_ptr<platform::foundation::OperationQueue> queue;
    std::shared_ptr<EMBNetworkClient> client;
    std::shared_ptr<EMBReportsController> controller;
};

/// The directory of a report a crashed test program wrote (made once per test run); its identifier is
/// kCrashedReportIdentifier.
const std::filesystem::path& crashedReport();
inline constexpr const char* kCrashedReportIdentifier { "7d3c2a10b1e44c5f9c8e2f6a5b4d3c21" };

/// The files of a directory by name, with their bytes; "."-names and "*.gz" left out.
std::map<std::string, std::string> recordFiles(const std::filesystem::path& directory);

/// Every file below `directory` whose name begins with ".".
std::vector<std::string> dotFiles(const std::filesystem::path& directory);

/// A report pipeline in a fresh root against a test back-end, the endpoint pointed at the back-end through
/// the environment.
class ReportsFixture : public ::testing::Test {
protected:
    ReportsFixture();
    ~ReportsFixture() override;

    /// Copies the crashed report into active/<its identifier> (or the given name) and opens it.
    std::shared_ptr<EMBInternalReport> addCrashedReport(const std::string& name = kCrashedReportIdentifier);
    bool waitForSubmissions(std::size_t count) { return m_pipeline->waitForSubmissions(count); }
    /// Whether a logged line holds `part`.
    bool logged(const std::string& part) const;

    ::testing::TemporaryDirectory m_directory;
    ::testing::Backend m_backend;

private:
    mutable std::mutex m_logMutex;
    std::vector<std::string> m_log;
    std::unique_ptr<ReportPipeline> m_pipeline;

protected:
    // The pipeline's parts.
    std::shared_ptr<EMBFileManager> m_files;
    std::shared_ptr<PipelineDelegate> m_delegate;
    std::shared_ptr<EMBReportsController> m_controller;
};

}
