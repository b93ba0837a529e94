#include "kit/crash/EMBReportsController.h"

#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/tests/ReportsFixture.h"
#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/ProcessInfo.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kit {
namespace {

namespace fs = std::filesystem;
using testing::recordFiles;

constexpr const char* kReportsPath { "/sdk-api/v1/platforms/ios/apps/com.zorvik.Zorvik/reports" };

class EMBReportsControllerTest : public testing::ReportsFixture {
protected:
    ~EMBReportsControllerTest() override
    {
        unsetenv("EmberPackageReports");
        unsetenv("EmberSubmitReports");
    }

    // The one package in prepared, or "".
    std::string preparedPackage() const
    {
        auto packages = m_files->preparedPathContents();
        return packages.size() == 1 ? packages[0] : std::string();
    }
    // Checks that the back-end holds the crashed report `times` times, the last with each record file as it
    // was written and symbolicated: the crash's own function named in the signal record's companion.
    void expectReportStored(std::size_t times = 1)
    {
        auto stored = m_backend.crashReports().reportsWithIdentifier(testing::kCrashedReportIdentifier);
        ASSERT_EQ(stored.size(), times);
        EXPECT_EQ(stored.back().apiKey, "0123456789abcdef0123456789abcdef01234567");
        for (const auto& [name, bytes] : recordFiles(testing::crashedReport())) {
            SCOPED_TRACE(name);
            ASSERT_TRUE(stored.back().file(name));
            EXPECT_EQ(stored.back().file(name)->data, bytes);
        }
        auto companion = stored.back().file("signal.embrecord.symbolicated");
        ASSERT_TRUE(companion) << "the report is sent symbolicated";
        EXPECT_TRUE(namesTheCrash(companion->data)) << companion->data.substr(0, 400);
    }

    // Whether a companion's frames name the function the test program crashed in, in this program.
    static bool namesTheCrash(const std::string& companion)
    {
        auto threads = nlohmann::json::parse(companion, nullptr, false).value("threads", nlohmann::json());
        if (!threads.is_array())
            return false;
        auto program = fs::read_symlink("/proc/self/exe").filename().string();
        for (const auto& thread : threads) {
            for (const auto& frame : thread) {
                if (frame.value("symbol", "").find("(anonymous namespace)::crash::{lambda()#1}")
                        != std::string::npos
                    && frame.value("library", "") == program)
                    return true;
            }
        }
        return false;
    }
};

TEST_F(EMBReportsControllerTest, TakesAReportFromActiveToTheServiceAndLeavesNothingBehind)
{
    std::size_t round = 0;
    for (bool urgent : { false, true }) {
        SCOPED_TRACE(urgent ? "urgent" : "queued");
        ++round;
        auto report = addCrashedReport();
        ASSERT_TRUE(report);
        auto before = m_delegate->submissions().size();
        ASSERT_TRUE(m_controller->prepareAndSubmitReport(report, urgent, true));
        EXPECT_GE(m_delegate->activitiesSeen, 1u) << "the work runs inside an activity";
        EXPECT_EQ(platform::foundation::ProcessInfo::processInfo().activityCount(), 0u);
        if (urgent) {
            EXPECT_EQ(m_delegate->submissions().size(), before + 1)
                << "an urgent upload ends before the call";
        }
        ASSERT_TRUE(waitForSubmissions(before + 1));
        auto submission = m_delegate->submissions().back();
        EXPECT_FALSE(submission.error);
        EXPECT_EQ(fs::path(submission.path).parent_path(), fs::path(m_files->preparedPath()));
        expectReportStored(round);

        EXPECT_TRUE(m_files->activePathContents().empty());
        EXPECT_TRUE(m_files->processingPathContents().empty());
        EXPECT_TRUE(m_files->preparedPathContents().empty()) << "an accepted package is deleted";
        EXPECT_TRUE(testing::dotFiles(m_directory.path()).empty());

        auto request = m_backend.lastRequest();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->path, kReportsPath);
        auto boundary = fs::path(submission.path).stem().string();
        const std::pair<const char*, std::string> headers[] = {
            { "User-Agent", "Ember iOS SDK/3.7.0" },
            { "Accept", "application/json" },
            { "Accept-Charset", "utf-8" },
            { "Accept-Language", platform::foundation::DeviceEnvironment::localeIdentifier() },
            { "Content-Language", platform::foundation::DeviceEnvironment::localeIdentifier() },
            { "X-Ember-Developer-Token", "3e9b1f07c4d82a65e0f9b7d3c1a48e6f2b5d09c7" },
            { "X-Ember-API-Client-Id", "com.cairn.ember.ios" },
            { "X-Ember-API-Client-Display-Version", "3.7.0" },
            { "X-Ember-API-Client-Build-Version", "102" },
            { "X-Ember-API-Key", ::testing::KitService::acceptedAPIKey() },
            { "Content-Type", "multipart/form-data; boundary=" + boundary },
            { "Content-Length", std::to_string(request->body.size()) },
        };
        for (const auto& [name, value] : headers)
            EXPECT_EQ(request->header(name), value) << name;
    }
}

TEST_F(EMBReportsControllerTest, APackageTheServiceRefusedStaysForTheNextAttempt)
{
    m_backend.failRoute("POST", kReportsPath, 401, 1);
    ASSERT_TRUE(m_controller->prepareAndSubmitReport(addCrashedReport(), false, true));
    ASSERT_TRUE(waitForSubmissions(1));
    ASSERT_TRUE(m_delegate->submissions()[0].error);
    auto package = preparedPackage();
    ASSERT_FALSE(package.empty()) << "a refused package is kept";
    EXPECT_EQ(m_delegate->submissions()[0].path, package);
    EXPECT_TRUE(m_files->processingPathContents().empty()) << "the packaged report is gone";

    // An urgent upload that fails is not retried and tells no one.
    m_backend.failRoute("POST", kReportsPath, 503, 1);
    EXPECT_TRUE(m_controller->uploadPackagedReportAtPath(package, true));
    EXPECT_EQ(m_delegate->submissions().size(), 1u);
    EXPECT_EQ(preparedPackage(), package);

    ASSERT_TRUE(m_controller->uploadPackagedReportAtPath(package, false));
    ASSERT_TRUE(waitForSubmissions(2));
    EXPECT_FALSE(m_delegate->submissions()[1].error);
    EXPECT_TRUE(m_files->preparedPathContents().empty());
    expectReportStored();
}

TEST_F(EMBReportsControllerTest, SwitchedOffStepsLeaveTheReportWhereItIs)
{
    setenv("EmberPackageReports", "NO", 1);
    auto report = addCrashedReport();
    EXPECT_FALSE(m_controller->prepareAndSubmitReport(report, false, true));
    EXPECT_TRUE(logged("Report packaging disabled"));
    ASSERT_EQ(m_files->processingPathContents().size(), 1u) << "offered again at the next launch";
    EXPECT_EQ(report->path(), m_files->processingPathContents()[0]);
    EXPECT_TRUE(m_files->preparedPathContents().empty());

    unsetenv("EmberPackageReports");
    setenv("EmberSubmitReports", "false", 1);
    EXPECT_FALSE(m_controller->prepareAndSubmitReport(report, false, false));
    EXPECT_TRUE(logged("Submission disabled"));
    EXPECT_TRUE(m_files->processingPathContents().empty());
    EXPECT_FALSE(preparedPackage().empty());

    unsetenv("EmberSubmitReports");
    ASSERT_TRUE(m_controller->uploadPackagedReportAtPath(preparedPackage(), true));
    expectReportStored();
    EXPECT_TRUE(m_delegate->submissions().size() == 1 && !m_delegate->submissions()[0].error);
}

// A launch killed while it symbolicated left the report in processing with a companion or none: the next
// launch finishes the symbolication and keeps what was written before as it stands.
TEST_F(EMBReportsControllerTest, AReportTakenUpAgainFromProcessingIsSentSymbolicated)
{
    auto report = addCrashedReport();
    ASSERT_TRUE(m_files->moveItemAtPath(report->path(), m_files->processingPath()));
    auto resumed = EMBInternalReport::reportWithPath(m_files->processingPath() + "/" + report->directoryName());
    ASSERT_TRUE(resumed);
    ASSERT_TRUE(m_controller->prepareAndSubmitReport(resumed, false, false));
    ASSERT_TRUE(waitForSubmissions(1));
    expectReportStored();

    const std::string written = R"({"threads":[[{"symbol":"written before","offset":1,"library":"x"}]]})"
                                "\n";
    auto again = addCrashedReport();
    ASSERT_TRUE(m_files->moveItemAtPath(again->path(), m_files->processingPath()));
    again = EMBInternalReport::reportWithPath(m_files->processingPath() + "/" + again->directoryName());
    ASSERT_TRUE(again);
    std::ofstream(again->pathForContentFile("signal.embrecord.symbolicated"), std::ios::binary) << written;
    ASSERT_TRUE(m_controller->prepareAndSubmitReport(again, false, false));
    ASSERT_TRUE(waitForSubmissions(2));
    auto stored = m_backend.crashReports().reportsWithIdentifier(testing::kCrashedReportIdentifier);
    ASSERT_EQ(stored.size(), 2u);
    ASSERT_TRUE(stored.back().file("signal.embrecord.symbolicated"));
    EXPECT_EQ(stored.back().file("signal.embrecord.symbolicated")->data, written);
}

TEST_F(EMBReportsControllerTest, RefusesWhatCannotBeTakenOn)
{
    auto missing = EMBInternalReport::reportWithPath(m_files->activePath() + "/gone", "gone");
    EXPECT_FALSE(m_controller->prepareAndSubmitReport(missing, false, true));
    EXPECT_TRUE(logged("Unable to move report for processing"));

    auto empty = m_files->preparedPath() + "/E.multipartmime";
    std::ofstream(empty).flush();
    EXPECT_FALSE(m_controller->submitPackageMultipartMimeAtPath(empty, false)) << "already submitted";
    EXPECT_FALSE(
        m_controller->submitPackageMultipartMimeAtPath(m_files->preparedPath() + "/F.multipartmime", true));
    EXPECT_TRUE(m_backend.requests().empty());
}

TEST_F(EMBReportsControllerTest, AnUrgentUploadGivesUpAtItsOwnTimeOut)
{
    EXPECT_EQ(m_controller->uploadTimeout(), 10);
    EXPECT_EQ(m_controller->urgentUploadTimeout(), 2);
    m_controller->setUrgentUploadTimeout(0.3);
    m_backend.delayRoute("POST", kReportsPath, 3, 1);
    ASSERT_TRUE(m_controller->prepareAndSubmitReport(addCrashedReport(), true, true));
    EXPECT_TRUE(m_delegate->submissions().empty());
    EXPECT_FALSE(preparedPackage().empty());
    EXPECT_TRUE(logged("Urgent upload of"));
}

}
}

