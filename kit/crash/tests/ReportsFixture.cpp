#include "kit/crash/tests/ReportsFixture.h"

#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/ProcessInfo.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>

namespace kit::testing {

namespace fs = std::filesystem;
using platform::foundation::Error;

namespace {

// A crash in the test program: an illegal instruction.
const CaptureScenarioRegistration crash("report", [] { __builtin_trap(); });

}

EMBSettings PipelineDelegate::settingsForReportsController(EMBReportsController&)
{
    std::lock_guard lock(m_mutex);
    activitiesSeen = platform::foundation::ProcessInfo::processInfo().activityCount();
    return EMBSettings();
}

std::string PipelineDelegate::APIKeyForReportsController(EMBReportsController&)
{
    return ::testing::KitService::acceptedAPIKey();
}

void PipelineDelegate::reportsControllerDidCompletePackageSubmission(
    EMBReportsController&, const std::string& path, const std::optional<Error>& error)
{
    std::lock_guard lock(m_mutex);
    m_submissions.push_back({ path, error });
}

void PipelineDelegate::networkClientDidFinishUploadWithPath(
    EMBNetworkClient&, const std::string& path, const std::optional<Error>& error)
{
    if (auto reports = controller.lock())
        reports->reportUploadAtPath(path, error);
}

std::vector<PipelineDelegate::Submission> PipelineDelegate::submissions() const
{
    std::lock_guard lock(m_mutex);
    return m_submissions;
}

const fs::path& crashedReport()
{
    static ::testing::TemporaryDirectory folder;
    static const fs::path report = [] {
        auto directory = folder.path() / kCrashedReportIdentifier;
        fs::create_directories(directory);
        auto child = startCaptureChild("report", directory);
        EXPECT_TRUE(child && child->deathSignal(std::chrono::seconds(30)).has_value())
            << "the test program did not crash";
        return directory;
    }();
    return report;
}

std::map<std::string, std::string> recordFiles(const fs::path& directory)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(directory)) {
        auto name = entry.path().filename().string();
        if (name.starts_with(".") || entry.path().extension() == ".gz" || !entry.is_regular_file())
            continue;
        std::ifstream input(entry.path(), std::ios::binary);
        files[name] = std::string(std::istreambuf_iterator<char>(input), {});
    }
    return files;
}

std::vector<std::string> dotFiles(const fs::path& directory)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        if (entry.path().filename().string().starts_with("."))
            found.push_back(entry.path().string());
    }
    return found;
}

ReportPipeline::ReportPipeline(const std::string& root)
    : files(std::make_shared<EMBFileManager>(root))
    , queue(std::make_shared<platform::foundation::OperationQueue>("com.cairn.ember.ios.work-queue", 1))
    , client(EMBNetworkClient::create(queue, files, delegate, std::vector<CRNCertificate> {}))
    , controller(std::make_shared<EMBReportsController>(queue, delegate, client, files))
{
    delegate->controller = controller;
    files->prepareForNewLaunch();
}

ReportPipeline::~ReportPipeline()
{
    queue->waitUntilAllOperationsAreFinished();
}

bool ReportPipeline::waitForSubmissions(std::size_t count)
{
    return platform::foundation::mainQueue().runUntil(
        [&] { return delegate->submissions().size() >= count; }, std::chrono::seconds(20));
}

ReportsFixture::ReportsFixture()
{
    platform::foundation::Log::setCapture([this](const std::string& line) {
        std::lock_guard lock(m_logMutex);
        m_log.push_back(line);
    });
    setenv("EmberReportsEndpoint", m_backend.baseUrl().c_str(), 1);
    m_pipeline = std::make_unique<ReportPipeline>((m_directory.path() / "root").string());
    m_files = m_pipeline->files;
    m_delegate = m_pipeline->delegate;
    m_controller = m_pipeline->controller;
}

ReportsFixture::~ReportsFixture()
{
    m_pipeline.reset();
    unsetenv("EmberReportsEndpoint");
    platform::foundation::Log::setCapture({});
}

std::shared_ptr<EMBInternalReport> ReportsFixture::addCrashedReport(const std::string& name)
{
    auto path = fs::path(m_files->activePath()) / name;
    fs::copy(crashedReport(), path, fs::copy_options::recursive);
    return EMBInternalReport::reportWithPath(path.string());
}

bool ReportsFixture::logged(const std::string& part) const
{
    std::lock_guard lock(m_logMutex);
    return std::any_of(
        m_log.begin(), m_log.end(), [&](const auto& line) { return line.find(part) != std::string::npos; });
}

}
