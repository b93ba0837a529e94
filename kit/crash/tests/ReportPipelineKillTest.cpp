#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/EMBReportsController.h"
#include "kit/crash/tests/ReportsFixture.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "testing/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <unistd.h>

namespace kit {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::foundation::mainQueue;
using testing::kCrashedReportIdentifier;

constexpr const char* kRootVariable { "ZORVIK_PIPELINE_ROOT" };
// A large record besides the crash's own, so that compressing and writing take long enough for kills to land
// inside them.
constexpr const char* kFillerName { "errors_a.embrecord" };
constexpr std::size_t kFillerSize { 1 << 20 };

// The child's side: the crashed report in active taken through the pipeline, as at a launch.
TEST(ReportPipelineChild, DISABLED_Run)
{
    const char* root = std::getenv(kRootVariable);
    ASSERT_NE(root, nullptr);
    platform::foundation::Log::setCapture([](const std::string&) {});
    testing::ReportPipeline pipeline(root);
    auto report
        = EMBInternalReport::reportWithPath(pipeline.files->activePath() + "/" + kCrashedReportIdentifier);
    ASSERT_TRUE(report);
    std::cout << "ready" << std::endl;
    ASSERT_TRUE(pipeline.controller->prepareAndSubmitReport(report, false, true));
    ASSERT_TRUE(pipeline.waitForSubmissions(1));
    std::cout << "done" << std::endl;
}

// The moments are taken in parts, each a test of its own with its own measured pipeline, so that each part
// stays well inside the test time-out on a loaded machine.
constexpr int kParts { 3 };
constexpr int kMomentsPerPart { 10 };

class ReportPipelineKillTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        platform::foundation::Log::setCapture([](const std::string&) {});
        std::mt19937 random(28);
        std::uniform_int_distribution<int> letter('a', 'z');
        std::string filler(kFillerSize, ' ');
        for (std::size_t i = 0; i < filler.size(); ++i)
            filler[i] = i % 80 == 79 ? '\n' : static_cast<char>(letter(random));
        m_original = testing::recordFiles(testing::crashedReport());
        m_original[kFillerName] = filler;
    }
    void TearDown() override { platform::foundation::Log::setCapture({}); }

    // A fresh root holding the crashed report (and the filler) in active.
    fs::path makeRoot(const std::string& name)
    {
        auto root = m_directory.path() / name;
        auto report = root / "v3" / "active" / kCrashedReportIdentifier;
        fs::create_directories(report);
        for (const auto& [file, bytes] : m_original)
            std::ofstream(report / file, std::ios::binary) << bytes;
        return root;
    }

    std::unique_ptr<::testing::ChildProcess> startChild(
        const fs::path& root, const ::testing::Backend& backend)
    {
        char self[PATH_MAX] {};
        EXPECT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
        return std::make_unique<::testing::ChildProcess>(
            std::vector<std::string> { "/usr/bin/env", "ASAN_OPTIONS=detect_leaks=0",
                std::string(kRootVariable) + "=" + root.string(), "EmberReportsEndpoint=" + backend.baseUrl(),
                self, "--gtest_also_run_disabled_tests", "--gtest_filter=ReportPipelineChild.DISABLED_Run" });
    }

    // Reads the child's output up to the line `wanted`.
    static bool waitForLine(::testing::ChildProcess& child, const std::string& wanted)
    {
        while (auto line = child.readLine(20s)) {
            if (*line == wanted)
                return true;
        }
        return false;
    }

    // Whether a directory holds the report whole: every file as it was written.
    bool wholeOnDisk(const fs::path& root) const
    {
        for (const auto& directory : { root / "v3" / "active", root / "v3" / "processing" }) {
            auto report = directory / kCrashedReportIdentifier;
            if (fs::exists(report) && testing::recordFiles(report) == m_original)
                return true;
        }
        return false;
    }

    ::testing::TemporaryDirectory m_directory;
    std::map<std::string, std::string> m_original;
};

TEST_P(ReportPipelineKillTest, AReportKilledAnywhereInThePipelineIsSentWholeByTheNextLaunch)
{
    // How long an uninterrupted pipeline takes, from the child's "ready" to its "done".
    ::testing::Backend measuring;
    auto measured = startChild(makeRoot("measure"), measuring);
    ASSERT_TRUE(waitForLine(*measured, "ready"));
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitForLine(*measured, "done"));
    auto span
        = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    ASSERT_EQ(measured->wait(20s), 0);
    auto measuredReports = measuring.crashReports().reports();
    ASSERT_EQ(measuredReports.size(), 1u);
    // What a launch sends: the report's files and the companions symbolication wrote beside its crash record.
    std::map<std::string, std::string> sent;
    for (const auto& file : measuredReports.front().files)
        sent[file.name] = file.data;
    ASSERT_TRUE(sent.contains("signal.embrecord.symbolicated"));

    std::mt19937 random(20261211 + GetParam());
    std::uniform_int_distribution<std::int64_t> moment(0, span.count() * 11 / 10);
    for (int round = GetParam() * kMomentsPerPart; round < (GetParam() + 1) * kMomentsPerPart; ++round) {
        auto killedAfter = std::chrono::microseconds(moment(random));
        SCOPED_TRACE("round " + std::to_string(round) + ", killed after "
            + std::to_string(killedAfter.count()) + " µs of " + std::to_string(span.count()));
        ::testing::Backend backend;
        auto root = makeRoot("round-" + std::to_string(round));
        auto child = startChild(root, backend);
        ASSERT_TRUE(waitForLine(*child, "ready"));
        std::this_thread::sleep_for(killedAfter);
        child->signal(SIGKILL);
        child->deathSignal(20s);

        // The next launch: stale "." entries cleared, then packages uploaded, processed reports packaged, and
        // active reports taken through, as crash reporting starts.
        setenv("EmberReportsEndpoint", backend.baseUrl().c_str(), 1);
        {
            testing::ReportPipeline next(root.string());
            std::size_t handed = 0;
            for (const auto& package : next.files->preparedPathContents())
                handed += next.controller->uploadPackagedReportAtPath(package, false);
            next.files->enumerateReportsInProcessingDirectory(
                [&](std::shared_ptr<EMBInternalReport> report, const std::string& path) {
                    ASSERT_TRUE(report) << path << " cannot be opened";
                    handed += next.controller->prepareAndSubmitReport(report, false, false);
                });
            for (const auto& path : next.files->activePathContents())
                handed += next.controller->prepareAndSubmitReport(
                    EMBInternalReport::reportWithPath(path), false, true);
            ASSERT_TRUE(next.waitForSubmissions(handed));
        }
        unsetenv("EmberReportsEndpoint");

        auto stored = backend.crashReports().reportsWithIdentifier(kCrashedReportIdentifier);
        EXPECT_LE(stored.size(), 2u);
        for (const auto& report : stored) {
            std::map<std::string, std::string> files;
            for (const auto& file : report.files)
                files[file.name] = file.data;
            EXPECT_EQ(files, sent) << "a report is sent whole and symbolicated, each part equal to its file";
        }
        EXPECT_TRUE(!stored.empty() || wholeOnDisk(root));
        EXPECT_TRUE(testing::dotFiles(root).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Moments, ReportPipelineKillTest, ::testing::Range(0, kParts));

}
}
