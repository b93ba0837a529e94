#include "kit/crash/Ember.h"

#include "kit/analytics/EMBAnalyticsController.h"
#include "kit/analytics/Tally.h"
#include "kit/analytics/tests/EventLogLines.h"
#include "kit/core/Cairn.h"
#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/EMBReport.h"
#include "kit/crash/capture/EMBContext.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "kit/crash/tests/CrashReportingControllerFixture.h"
#include "kit/crash/tests/ReportsFixture.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kit::testing {
namespace {

namespace fs = std::filesystem;
using platform::foundation::mainQueue;

// An app's delegate: implements the methods it is told to, records what it hears, and answers an offered
// report as told (or keeps the question open).
class AppDelegate : public EmberDelegate {
public:
    enum class Answer { Send, Delete, Wait };

    bool takesReports { false };
    bool legacyWithReport { false };
    bool legacy { false };
    bool crashCallback { false };
    std::optional<bool> backgroundSessions;
    std::optional<bool> deliverSignals;
    Answer answer { Answer::Send };

    std::vector<std::string> offered;
    std::vector<std::string> heardWithReport;
    int heard { 0 };
    int crashes { 0 };
    std::vector<ReportCompletion> open;

    void emberDidDetectReportForLastExecution(
        const std::shared_ptr<EMBReport>& report, ReportCompletion completion) override
    {
        offered.push_back(report->identifier());
        if (answer == Answer::Wait)
            open.push_back(std::move(completion));
        else
            completion(answer == Answer::Send);
    }
    bool implementsDidDetectReportForLastExecution() const override { return takesReports; }
    void emberDidDetectCrashDuringPreviousExecutionWithReport(
        Ember&, const std::shared_ptr<EMBReport>& report) override
    {
        heardWithReport.push_back(report->identifier());
    }
    bool implementsDidDetectCrashDuringPreviousExecutionWithReport() const override
    {
        return legacyWithReport;
    }
    void emberDidDetectCrashDuringPreviousExecution(Ember&) override { ++heard; }
    bool implementsDidDetectCrashDuringPreviousExecution() const override { return legacy; }
    bool emberCanUseBackgroundSessions(Ember&) override { return *backgroundSessions; }
    bool implementsCanUseBackgroundSessions() const override { return backgroundSessions.has_value(); }
    void emberDidDetectCrash(Ember&) override { ++crashes; }
    bool implementsDidDetectCrash() const override { return crashCallback; }
    bool emberEnsureDeliveryOfUnixSignal(Ember&, int signal) override
    {
        return *deliverSignals && signal == SIGABRT;
    }
    bool implementsEnsureDeliveryOfUnixSignal() const override { return deliverSignals.has_value(); }
};

// Launches of an app on a fresh device whose kit start runs through the facade: each launch is a new
// execution of the crash kit and analytics.
class EmberStartTest : public CrashReportingControllerFixture {
protected:
    void TearDown() override
    {
        endLaunch();
        resetKits();
        CrashReportingControllerFixture::TearDown();
    }

    static void resetKits()
    {
        Ember::sharedInstance()->reset();
        Tally::sharedInstance()->reset();
    }

    /// Starts a launch through the facade with `delegate` (may be null); answers whether crash reporting
    /// runs.
    bool launchEmber(std::shared_ptr<EmberDelegate> delegate = nullptr)
    {
        endLaunch();
        resetKits();
        Cairn::sharedSDK().setAPIKey(::testing::KitService::acceptedAPIKey());
        ember()->setDelegate(std::move(delegate));
        ember()->start();
        m_controller = ember()->crashReportingController();
        return ember()->isCrashReportingRunning();
    }

    /// Whether the back-end has stored the earlier report and nothing waits to be sent.
    bool earlierReportSent()
    {
        return !stored().empty() && stored().back().reportId == kCrashedReportIdentifier
            && entries(m_files->preparedPath()).empty();
    }

    static std::shared_ptr<Ember> ember() { return Ember::sharedInstance(); }

    /// The lines analytics stored in its `name` log files ("1.log").
    static std::vector<kit::test::EventLogLine> analyticsLines(std::string_view name)
    {
        return kit::test::activeEventLogLines(*Tally::analyticsRootDirectory(), name);
    }
};

TEST_F(EmberStartTest, WithoutADelegateAnEarlierCrashIsSentAndAnalyticsHearsItsDate)
{
    auto crashDate = EMBReport(EMBInternalReport::reportWithPath(addEarlierReport().string())).dateCreated();
    ASSERT_TRUE(crashDate);
    // The launch that crashed had started analytics too.
    Cairn::sharedSDK().setAPIKey(::testing::KitService::acceptedAPIKey());
    Tally::startWithBetaToken(std::nullopt);
    Tally::sharedInstance()->reset();
    ASSERT_TRUE(launchEmber());
    EXPECT_TRUE(ember()->isEmberStarted());
    EXPECT_EQ(m_controller->currentReport()->identifier(), Cairn::sharedSDK().executionIdentifier());
    EXPECT_TRUE(waitForCaptureSetUp());
    auto analytics = Tally::sharedInstance()->analyticsController();
    ASSERT_NE(analytics, nullptr);
    EXPECT_EQ(analytics->sessionIdentifier(), Cairn::sharedSDK().executionIdentifier());
    auto crashed = [&] {
        auto lines = analyticsLines("1.log");
        return std::count_if(
            lines.begin(), lines.end(), [](const auto& line) { return line.key == "app_crashed"; });
    };
    analytics->waitUntilIdle();
    EXPECT_EQ(crashed(), 0) << "told on the main queue";

    ASSERT_TRUE(settle([&] { return earlierReportSent(); }));
    analytics->waitUntilIdle();
    auto lines = analyticsLines("1.log");
    auto crash = std::find_if(
        lines.begin(), lines.end(), [](const auto& line) { return line.key == "app_crashed"; });
    ASSERT_NE(crash, lines.end());
    EXPECT_EQ(crash->timestamp, static_cast<std::uint64_t>(crashDate->secondsSince1970) * 1000);
    EXPECT_EQ(crashed(), 1);
}

TEST_F(EmberStartTest, ADelegateThatOnlyHearsOfReportsHasThemSentAtOnceAndHearsOnTheMainQueue)
{
    for (bool withReport : { true, false }) {
        SCOPED_TRACE(withReport ? "with the report" : "without it");
        auto delegate = std::make_shared<AppDelegate>();
        delegate->legacyWithReport = withReport;
        delegate->legacy = !withReport;
        addEarlierReport();
        auto before = stored().size();
        ASSERT_TRUE(launchEmber(delegate));
        EXPECT_TRUE(delegate->heardWithReport.empty());
        EXPECT_EQ(delegate->heard, 0) << "told later, on the main queue";

        ASSERT_TRUE(settle([&] { return stored().size() > before && earlierReportSent(); }));
        EXPECT_EQ(delegate->heardWithReport,
            withReport ? std::vector<std::string> { kCrashedReportIdentifier } : std::vector<std::string> {});
        EXPECT_EQ(delegate->heard, withReport ? 0 : 1);
        EXPECT_TRUE(logged("implements deprecated methods"));
    }
}

TEST_F(EmberStartTest, ADelegateThatTakesReportsDecidesEachOne)
{
    for (auto answer :
        { AppDelegate::Answer::Send, AppDelegate::Answer::Delete, AppDelegate::Answer::Wait }) {
        SCOPED_TRACE(static_cast<int>(answer));
        auto delegate = std::make_shared<AppDelegate>();
        delegate->takesReports = true;
        delegate->answer = answer;
        auto earlier = addEarlierReport();
        auto before = stored().size();
        ASSERT_TRUE(launchEmber(delegate));
        EXPECT_EQ(delegate->offered, std::vector<std::string> { kCrashedReportIdentifier });
        if (answer == AppDelegate::Answer::Send) {
            ASSERT_TRUE(settle([&] { return stored().size() > before && earlierReportSent(); }));
            continue;
        }
        mainQueue().runUntilIdle();
        m_controller->waitUntilIdle();
        EXPECT_EQ(stored().size(), before);
        EXPECT_EQ(fs::exists(earlier), answer == AppDelegate::Answer::Wait) << "deleted when the app says no";
        if (answer == AppDelegate::Answer::Wait) {
            delegate->open.front()(true);
            ASSERT_TRUE(settle([&] { return stored().size() > before && earlierReportSent(); }))
                << "the app's later answer is taken";
        }
    }
}

TEST_F(EmberStartTest, TheControllersQuestionsAreAnsweredFromThePlatformAndTheDelegate)
{
    ASSERT_TRUE(launchEmber());
    auto& controller = *m_controller;
    auto& kit = *ember();
    EXPECT_EQ(kit.APIKeyForCrashReportingController(controller), ::testing::KitService::acceptedAPIKey());
    EXPECT_EQ(kit.installIDForCrashReportingController(controller), Cairn::sharedSDK().installID());
    EXPECT_TRUE(kit.isFirstInstallForCrashReportingController(controller));

    struct Case {
        const char* name;
        std::function<void(AppDelegate&)> implement;
        bool background, mustInform, crashCallback, deliverAbort;
    };
    const Case cases[] = {
        { "no delegate", nullptr, true, false, false, false },
        { "implements nothing", [](AppDelegate&) {}, true, false, false, false },
        { "no background sessions", [](AppDelegate& d) { d.backgroundSessions = false; }, false, false, false,
            false },
        { "takes reports", [](AppDelegate& d) { d.takesReports = true; }, true, true, false, false },
        { "hears of reports", [](AppDelegate& d) { d.legacy = true; }, true, true, false, false },
        { "crash callback", [](AppDelegate& d) { d.crashCallback = true; }, true, false, true, false },
        { "keeps SIGABRT", [](AppDelegate& d) { d.deliverSignals = true; }, true, false, false, true },
    };
    for (const auto& answers : cases) {
        SCOPED_TRACE(answers.name);
        std::shared_ptr<AppDelegate> delegate;
        if (answers.implement) {
            delegate = std::make_shared<AppDelegate>();
            answers.implement(*delegate);
        }
        kit.setDelegate(delegate);
        EXPECT_EQ(kit.reportingControllerCanUseBackgroundSessions(controller), answers.background);
        EXPECT_EQ(kit.reportingControllerMustInformDelegateOfReports(controller), answers.mustInform);
        EXPECT_EQ(kit.shouldInstallCrashCallback(), answers.crashCallback);
        EXPECT_EQ(
            kit.reportingControllerEnsureDeliveryOfUnixSignal(controller, SIGABRT), answers.deliverAbort);
        EXPECT_FALSE(kit.reportingControllerEnsureDeliveryOfUnixSignal(controller, SIGSEGV));
        kit.detectedCrash();
        if (delegate) {
            EXPECT_EQ(delegate->crashes, 1) << "the crash callback reaches the delegate of the moment";
        }
    }
}

TEST_F(EmberStartTest, AControllerThatCannotStartIsLoggedAndAnalyticsStartsAllTheSame)
{
    platform::foundation::Files::setBundleDirectory(m_home.path() / "no-bundle");
    EXPECT_FALSE(launchEmber());
    EXPECT_TRUE(ember()->isEmberStarted()) << "the controller stays";
    EXPECT_NE(ember()->crashReportingController(), nullptr);
    EXPECT_TRUE(logged("[Ember] Crash reporting could not be initialized"));
    EXPECT_NE(Tally::sharedInstance()->analyticsController(), nullptr);
}

}
}
