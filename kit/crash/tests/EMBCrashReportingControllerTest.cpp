#include "kit/crash/EMBCrashReportingController.h"

#include "kit/core/CRNSettingsOnboardingManager.h"
#include "kit/core/Cairn.h"
#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/capture/EMBContext.h"
#include "kit/crash/capture/EMBProfiling.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "kit/crash/tests/CrashReportingControllerFixture.h"
#include "kit/crash/tests/ReportsFixture.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/ScreenDriver.h"
#include "testing/ChildProcess.h"
#include "testing/server/TestCertificateAuthority.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>

namespace kit::testing {
namespace {

namespace fs = std::filesystem;
using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using EMBCrashReportingControllerTest = CrashReportingControllerFixture;

const std::vector<std::string> kNoEntries;

// The settings document with one feature switched.
platform::foundation::DictionaryRef withFeature(
    const platform::foundation::DictionaryRef& settings, const std::string& feature, bool on)
{
    auto copy = settings->deepCopy();
    copy->get("features").dictionary()->set(feature, on);
    return copy;
}

TEST_F(EMBCrashReportingControllerTest,
    AFreshLaunchSetsUpItsReportAndDropsTheLaunchMarkerAtTheMainQueuesFirstTurn)
{
    ASSERT_TRUE(launch());
    auto report = m_controller->currentReport();
    ASSERT_NE(report, nullptr);
    auto identifier = Cairn::sharedSDK().executionIdentifier();
    EXPECT_EQ(report->identifier(), identifier);
    EXPECT_EQ(entries(m_files->activePath()), std::vector<std::string> { identifier });
    EXPECT_TRUE(waitForCaptureSetUp());
    EXPECT_TRUE(fs::exists(report->metadataPath()));
    EXPECT_TRUE(fs::exists(m_controller->launchMarkerPath()));
    EXPECT_FALSE(m_controller->lastLaunchFailed());
    auto keys = internalKeys();
    EXPECT_TRUE(keys.contains("com.ember.kit-start-time"));
    EXPECT_FALSE(keys.contains("com.ember.first-run-loop-time"));

    mainQueue().runUntilIdle();
    EXPECT_FALSE(fs::exists(m_controller->launchMarkerPath()));
    keys = internalKeys();
    EXPECT_TRUE(keys.contains("com.ember.first-run-loop-time"));
    EXPECT_GE(std::stod(keys["com.ember.first-run-loop-time"]), std::stod(keys["com.ember.kit-start-time"]));
}

TEST_F(EMBCrashReportingControllerTest, TheReportFollowsTheBackgroundAndBothOrientations)
{
    ASSERT_TRUE(launch());
    auto keys = internalKeys();
    EXPECT_EQ(keys["com.ember.in-background"], "0");
    EXPECT_EQ(keys["com.ember.device-orientation"], "1");
    EXPECT_EQ(keys["com.ember.ui-orientation"], "1");

    auto& application = platform::ui::Application::shared();
    application.enterBackground();
    platform::ui::Device::current().setOrientation(platform::ui::DeviceOrientation::LandscapeLeft);
    application.setStatusBarOrientation(platform::ui::InterfaceOrientation::LandscapeRight);
    keys = internalKeys();
    EXPECT_EQ(keys["com.ember.in-background"], "1");
    EXPECT_EQ(keys["com.ember.device-orientation"], "3");
    EXPECT_EQ(keys["com.ember.ui-orientation"], "3");

    application.enterForeground();
    EXPECT_EQ(internalKeys()["com.ember.in-background"], "0");
}

TEST_F(EMBCrashReportingControllerTest, HandlersAreCheckedTwoSecondsAfterStart)
{
    ASSERT_TRUE(launch());
    auto captureHandler = std::set_terminate([] { std::abort(); });
    mainQueue().advance(1.9);
    EXPECT_FALSE(logged("Warning: std::get_terminate is"));
    mainQueue().advance(0.1);
    EXPECT_TRUE(logged("Warning: std::get_terminate is"));
    std::set_terminate(captureHandler);
}

TEST_F(EMBCrashReportingControllerTest, AnEarlierReportIsOfferedToTheDelegateAndSentOrDeleted)
{
    for (auto answer : { ControllerDelegate::Answer::Send, ControllerDelegate::Answer::Delete }) {
        bool send = answer == ControllerDelegate::Answer::Send;
        SCOPED_TRACE(send ? "send" : "delete");
        auto before = stored().size();
        m_delegate->answer = answer;
        m_delegate->offered.clear();
        addEarlierReport();
        ASSERT_TRUE(launch());
        EXPECT_EQ(m_delegate->offered, std::vector<std::string> { kCrashedReportIdentifier });
        if (send) {
            ASSERT_TRUE(
                settle([&] { return stored().size() > before && entries(m_files->preparedPath()).empty(); }));
            EXPECT_EQ(stored().back().reportId, kCrashedReportIdentifier);
            EXPECT_EQ(stored().back().app, "com.zorvik.Zorvik");
            EXPECT_NE(stored().back().file("signal.embrecord"), nullptr);
        }
        m_controller->waitUntilIdle();
        EXPECT_EQ(stored().size(), before + (send ? 1 : 0));
        EXPECT_EQ(entries(m_files->activePath()),
            std::vector<std::string> { Cairn::sharedSDK().executionIdentifier() });
        EXPECT_EQ(entries(m_files->processingPath()), kNoEntries);
        endLaunch();
    }
}

TEST_F(EMBCrashReportingControllerTest, AnEarlierReportWithNothingToSendIsDeletedUnseen)
{
    auto path = fs::path(m_files->activePath()) / "3b9d0c6e1f2a4b5c8d7e6f5a4b3c2d1e";
    fs::create_directories(path);
    fs::copy(crashedReport() / "metadata.embrecord", path);
    ASSERT_TRUE(launch());
    m_controller->waitUntilIdle();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(m_delegate->detected.empty());
    EXPECT_TRUE(m_delegate->offered.empty());
}

TEST_F(EMBCrashReportingControllerTest, DamagedMetadataIsTakenUpUnderTheDirectorysName)
{
    const std::string withRecords = "5f0c9a8b7e6d4c3b2a1f0e9d8c7b6a50";
    const std::string without = "5f0c9a8b7e6d4c3b2a1f0e9d8c7b6a51";
    auto damaged = addEarlierReport(withRecords);
    std::ofstream(damaged / "metadata.embrecord", std::ios::trunc) << "{\"identity\": {\"session_\n";
    fs::create_directories(fs::path(m_files->activePath()) / without);
    std::ofstream(fs::path(m_files->activePath()) / without / "metadata.embrecord") << "not a record\n";

    ASSERT_TRUE(launch());
    EXPECT_EQ(m_delegate->offered, std::vector<std::string> { withRecords });
    ASSERT_TRUE(settle([&] { return !stored().empty() && entries(m_files->preparedPath()).empty(); }));
    EXPECT_EQ(stored()[0].reportId, withRecords);
    EXPECT_EQ(stored()[0].apiKey, std::nullopt);
    EXPECT_NE(stored()[0].file("signal.embrecord"), nullptr);
    m_controller->waitUntilIdle();
    EXPECT_EQ(entries(m_files->activePath()),
        std::vector<std::string> { m_controller->currentReport()->identifier() });
    EXPECT_TRUE(logged("Unable to read the metadata of report " + withRecords));
}

TEST_F(EMBCrashReportingControllerTest, ReportingSwitchedOffBySettingsEmptiesEveryDirectoryAndInstallsNothing)
{
    for (const auto& directory : { m_files->activePath() + "/4e5f", m_files->processingPath() + "/6a7b",
             m_files->pendingPath() + "/8c9d" }) {
        fs::create_directories(directory);
        std::ofstream(directory + "/signal.embrecord") << "{}\n";
    }
    std::ofstream(m_files->preparedPath() + "/0a1b2c.multipartmime") << "--0a1b2c--\r\n";
    m_delegate->settings = withFeature(m_delegate->settings, "collect_reports", false);

    EXPECT_FALSE(launch());
    EXPECT_TRUE(logged("[Ember:Crash] Reporting is disabled"));
    for (const auto& directory :
        { m_files->activePath(), m_files->processingPath(), m_files->pendingPath(), m_files->preparedPath() })
        EXPECT_EQ(entries(directory), kNoEntries) << directory;
    EXPECT_FALSE(EMBContextIsInitialized());
    EXPECT_EQ(m_controller->currentReport(), nullptr);
}

TEST_F(EMBCrashReportingControllerTest, TheSettingsTheKitPlatformSavedRuleAndADamagedFileGivesTheDefaults)
{
    m_delegate->platformSettings = true;
    auto file = CRNSettingsOnboardingManager::settingsPath();
    fs::create_directories(file.parent_path());
    struct Case {
        const char* saved;
        bool started;
    };
    for (auto [saved, started] : { Case { R"({"features": {"collect_reports": false}})", false },
             Case { R"({"features": {"collect_rep)", true } }) {
        SCOPED_TRACE(saved);
        std::ofstream(file, std::ios::trunc) << saved;
        EXPECT_EQ(launch(), started);
        EXPECT_EQ(waitForCaptureSetUp(), started);
        endLaunch();
    }
    EXPECT_TRUE(logged("[Cairn] Could not load settings with error"));
}

TEST_F(EMBCrashReportingControllerTest, AnAppWithoutABundleIdentifierStartsNothing)
{
    std::ofstream(m_bundle.path() / "Info.plist", std::ios::trunc)
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleName</key><string>Zorvik</string></dict></plist>\n";
    EXPECT_FALSE(launch());
    EXPECT_TRUE(logged("[Ember] An application must have a valid bundle idenifier in its Info.plist"));
    EXPECT_FALSE(EMBContextIsInitialized());
}

TEST_F(EMBCrashReportingControllerTest, TheLegacyLayoutGoesFirstAndThisLaunchsDirectoryStays)
{
    auto root = fs::path(m_files->rootPath());
    addEarlierReport();
    fs::create_directories(root / "analytics");
    std::ofstream(root / "analytics" / "events.log") << "event\n";
    std::ofstream(root / "sendable") << "";

    ASSERT_TRUE(launch());
    EXPECT_TRUE(logged("[Ember:FileManager] Removed legacy structure at " + root.string()));
    EXPECT_FALSE(fs::exists(root / "sendable"));
    EXPECT_FALSE(fs::exists(root / "analytics"));
    EXPECT_TRUE(m_delegate->offered.empty());
    m_controller->waitUntilIdle();
    auto report = m_controller->currentReport();
    EXPECT_EQ(entries(m_files->activePath()), std::vector<std::string> { report->identifier() });
    EXPECT_TRUE(fs::exists(report->metadataPath()));
    EXPECT_TRUE(fs::exists(m_controller->launchMarkerPath()));
}

TEST_F(EMBCrashReportingControllerTest, AReportLeftInProcessingIsPackagedAndSentWithoutBeingOffered)
{
    auto path = fs::path(m_files->processingPath()) / kCrashedReportIdentifier;
    fs::create_directories(path.parent_path());
    fs::copy(crashedReport(), path, fs::copy_options::recursive);
    ASSERT_TRUE(launch());
    ASSERT_TRUE(settle([&] { return !stored().empty() && entries(m_files->preparedPath()).empty(); }));
    EXPECT_EQ(stored()[0].reportId, kCrashedReportIdentifier);
    EXPECT_TRUE(m_delegate->offered.empty());
    m_controller->waitUntilIdle();
    EXPECT_EQ(entries(m_files->processingPath()), kNoEntries);
}

TEST_F(EMBCrashReportingControllerTest, ARefusedUploadIsSentAgainSixHundredSecondsLaterAndNotBefore)
{
    m_backend.failRoute("POST", "/sdk-api/*", 422, 1);
    addEarlierReport();
    ASSERT_TRUE(launch());
    ASSERT_TRUE(settle([&] { return logged("[Ember:Crash] report submission failed with error"); }));
    EXPECT_EQ(uploadsReceived(), 1u);
    EXPECT_EQ(entries(m_files->preparedPath()).size(), 1u);

    mainQueue().advance(599);
    mainQueue().runUntilIdle();
    m_controller->waitUntilIdle();
    EXPECT_EQ(uploadsReceived(), 1u);
    mainQueue().advance(1);
    ASSERT_TRUE(settle([&] { return !stored().empty() && entries(m_files->preparedPath()).empty(); }));
    EXPECT_EQ(uploadsReceived(), 2u);
    EXPECT_EQ(stored()[0].reportId, kCrashedReportIdentifier);
}

TEST_F(EMBCrashReportingControllerTest, APackageTheServiceCannotTakeWaitsInPreparedUntilItCan)
{
    m_backend.failRoute("POST", "/sdk-api/*", 500);
    addEarlierReport();
    ASSERT_TRUE(launch());
    ASSERT_TRUE(settleOverRetries([&] { return uploadsReceived() >= 2; }));
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(entries(m_files->preparedPath()).size(), 1u);
    EXPECT_TRUE(logged("500"));

    m_backend.clearHooks();
    ASSERT_TRUE(
        settleOverRetries([&] { return !stored().empty() && entries(m_files->preparedPath()).empty(); }));
    EXPECT_EQ(stored().size(), 1u);
}

TEST_F(EMBCrashReportingControllerTest, APackageStaysInPreparedWhenItsUploadTimesOutOrTheServerIsNotPinned)
{
    ::testing::TestCertificateAuthority unknown(m_home.path(), "Unknown CA");
    ::testing::Backend unpinned(unknown.issueServerIdentity("server"));
    struct Case {
        const char* what;
        std::function<void()> arrange;
    };
    const Case cases[] {
        { "time-out", [&] { m_backend.delayRoute("POST", "/sdk-api/*", 2); } },
        { "unpinned server", [&] { m_environment.set("EmberReportsEndpoint", unpinned.baseUrl()); } },
    };
    for (const auto& [what, arrange] : cases) {
        SCOPED_TRACE(what);
        arrange();
        addEarlierReport();
        ASSERT_TRUE(launch([](auto& controller) { controller.reportsController()->setUploadTimeout(0.5); }));
        ASSERT_TRUE(
            settle([&] { return logged("[Ember:Crash:Client] Upload of " + m_files->preparedPath()); }));
        m_controller->waitUntilIdle();
        EXPECT_EQ(entries(m_files->preparedPath()).size(), 1u);
        EXPECT_TRUE(unpinned.crashReports().reports().empty());
        endLaunch();
        fs::remove_all(m_files->preparedPath());
    }
}

TEST_F(EMBCrashReportingControllerTest, APackageLeftWaitingIsSentAtTheNextLaunch)
{
    m_environment.set("EmberSubmitReports", "NO");
    addEarlierReport();
    ASSERT_TRUE(launch());
    m_controller->waitUntilIdle();
    EXPECT_TRUE(logged("[Ember:Crash:Reports] Submission disabled"));
    ASSERT_EQ(entries(m_files->preparedPath()).size(), 1u);
    endLaunch();

    m_environment.set("EmberSubmitReports", std::nullopt);
    ASSERT_TRUE(launch());
    ASSERT_TRUE(settle([&] { return !stored().empty() && entries(m_files->preparedPath()).empty(); }));
    EXPECT_EQ(stored().size(), 1u);
    EXPECT_EQ(stored()[0].reportId, kCrashedReportIdentifier);
}

TEST_F(EMBCrashReportingControllerTest, WithThePromptOnTheUserDecides)
{
    auto settings = withFeature(m_backend.kit().settingsDocument().dictionary(), "prompt_enabled", true);
    m_backend.kit().setSettings(platform::foundation::Value(settings));
    m_delegate->settings = m_backend.kit().settingsDocument().dictionary();
    showWindow();
    // "Always Send" first: the launches after it ask again.
    for (const std::string button : { "Always Send", "Don't Send", "Send" }) {
        SCOPED_TRACE(button);
        auto before = stored().size();
        addEarlierReport();
        ASSERT_TRUE(launch());
        ASSERT_TRUE(settle([&] { return alert() != nullptr; }));
        mainQueue().advance(1);
        EXPECT_EQ(alert()->title(), "Send Crash Report?");
        EXPECT_EQ(m_controller->promptedReport()->identifier(), kCrashedReportIdentifier);
        std::vector<std::string> titles;
        for (const auto& action : alert()->displayedActions())
            titles.push_back(action->title());
        EXPECT_EQ(titles, (std::vector<std::string> { "Don't Send", "Send", "Always Send" }));

        platform::ui::ScreenDriver driver;
        driver.execute("alert " + button);
        driver.wait(1);
        EXPECT_EQ(alert(), nullptr);
        EXPECT_EQ(m_controller->promptedReport(), nullptr);
        bool sent = button != "Don't Send";
        if (sent) {
            ASSERT_TRUE(
                settle([&] { return stored().size() > before && entries(m_files->preparedPath()).empty(); }));
        }
        m_controller->waitUntilIdle();
        EXPECT_EQ(stored().size(), before + (sent ? 1 : 0));
        EXPECT_EQ(entries(m_files->activePath()),
            std::vector<std::string> { m_controller->currentReport()->identifier() });
        endLaunch();
    }
}

TEST_F(EMBCrashReportingControllerTest, AnAppExtensionSendsWithoutThePrompt)
{
    std::ofstream(m_bundle.path() / "Info.plist", std::ios::trunc)
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleIdentifier</key><string>com.zorvik.Zorvik.share</string>"
           "<key>NSExtension</key><dict><key>NSExtensionPointIdentifier</key>"
           "<string>com.apple.share-services</string></dict></dict></plist>\n";
    m_delegate->settings = withFeature(m_delegate->settings, "prompt_enabled", true);
    showWindow();
    addEarlierReport();
    ASSERT_TRUE(launch());
    ASSERT_TRUE(settle([&] { return !stored().empty() && entries(m_files->preparedPath()).empty(); }));
    EXPECT_EQ(stored()[0].app, "com.zorvik.Zorvik.share");
    EXPECT_EQ(alert(), nullptr);
}

TEST_F(EMBCrashReportingControllerTest, TwoPromptsAreAskedOneAfterTheOther)
{
    m_delegate->settings = withFeature(m_delegate->settings, "prompt_enabled", true);
    showWindow();
    addEarlierReport("9a8b7c6d5e4f3a2b1c0d9e8f7a6b5c40");
    addEarlierReport("9a8b7c6d5e4f3a2b1c0d9e8f7a6b5c41");
    ASSERT_TRUE(launch());
    platform::ui::ScreenDriver driver;
    for (const char* button : { "Send", "Don't Send" }) {
        ASSERT_TRUE(settle([&] { return alert() != nullptr; }));
        mainQueue().advance(1);
        driver.execute(std::string("alert ") + button);
        driver.wait(1);
    }
    ASSERT_TRUE(settle([&] { return stored().size() == 1u && entries(m_files->preparedPath()).empty(); }));
    m_controller->waitUntilIdle();
    EXPECT_EQ(alert(), nullptr);
    EXPECT_EQ(entries(m_files->activePath()),
        std::vector<std::string> { m_controller->currentReport()->identifier() });
}

// A whole launch in a child process: the app starts crash reporting and crashes, before its main queue's
// first turn or after it.
constexpr const char* kHomeVariable { "ZORVIK_LAUNCH_HOME" };
constexpr const char* kBundleVariable { "ZORVIK_LAUNCH_BUNDLE" };
constexpr const char* kCrashVariable { "ZORVIK_LAUNCH_CRASH" };

TEST(CrashReportingLaunch, DISABLED_Run)
{
    const char* home = std::getenv(kHomeVariable);
    const char* bundle = std::getenv(kBundleVariable);
    const char* crash = std::getenv(kCrashVariable);
    ASSERT_TRUE(home && bundle && crash);
    platform::foundation::Files::setHomeDirectory(home);
    platform::foundation::Files::setBundleDirectory(bundle);
    auto delegate = std::make_shared<ControllerDelegate>();
    auto controller
        = EMBCrashReportingController::initWithFileManager(std::make_shared<EMBFileManager>(), delegate);
    ASSERT_TRUE(controller->startWithProfilingMark(EMBProfilingStart(), std::nullopt));
    // The handlers are in place by the time an app crashes, however busy the machine is.
    waitForCaptureSetUp();
    say(controller->currentReport()->identifier());
    if (std::string(crash) == "after-first-turn")
        mainQueue().runUntilIdle();
    __builtin_trap();
}

// Runs a whole launch of the app on the fixture's device in a child process, which crashes `when`; answers
// the identifier of the report it left.
std::optional<std::string> crashedLaunch(
    const CrashReportingControllerFixture::Device& device, const char* when)
{
    ::testing::ChildProcess child(crashChildCommand("CrashReportingLaunch.DISABLED_Run",
        { std::string(kHomeVariable) + "=" + device.home.string(),
            std::string(kBundleVariable) + "=" + device.bundle.string(),
            std::string(kCrashVariable) + "=" + when }));
    auto identifier = scenarioLine(child);
    if (!child.deathSignal(std::chrono::seconds(30)))
        return std::nullopt;
    return identifier;
}

TEST_F(EMBCrashReportingControllerTest, ALaunchThatDiedBeforeItsFirstTurnHasItsReportSentDuringTheNextStart)
{
    struct Case {
        const char* crash;
        bool takesReports;
        bool sentDuringStart;
    };
    for (auto [crash, takesReports, sentDuringStart] : { Case { "before-first-turn", false, true },
             Case { "before-first-turn", true, false }, Case { "after-first-turn", false, false } }) {
        SCOPED_TRACE(std::string(crash) + (takesReports ? ", the app takes reports" : ""));
        auto before = stored().size();
        auto identifier = crashedLaunch(device(), crash);
        ASSERT_TRUE(identifier);
        m_delegate->takesReports = takesReports;
        m_delegate->answer = ControllerDelegate::Answer::Wait;
        m_delegate->offered.clear();
        m_delegate->detected.clear();

        ASSERT_TRUE(launch());
        EXPECT_EQ(m_controller->lastLaunchFailed(), std::string(crash) == "before-first-turn");
        EXPECT_EQ(m_delegate->detected, std::vector<std::string> { *identifier });
        auto sent = m_backend.crashReports().reportsWithIdentifier(*identifier);
        EXPECT_EQ(sent.size(), sentDuringStart ? 1u : 0u);
        EXPECT_EQ(
            m_delegate->offered, sentDuringStart ? kNoEntries : std::vector<std::string> { *identifier });
        if (sentDuringStart) {
            EXPECT_NE(sent[0].file("signal.embrecord"), nullptr);
            EXPECT_EQ(entries(m_files->preparedPath()), kNoEntries);
        }
        for (const auto& answer : m_delegate->open)
            answer(false);
        m_delegate->open.clear();
        m_controller->waitUntilIdle();
        EXPECT_EQ(stored().size(), before + (sentDuringStart ? 1 : 0));
        endLaunch();
    }
}

TEST_F(EMBCrashReportingControllerTest, AnUrgentReportTheServiceCouldNotTakeIsSentAgainLaterInTheLaunch)
{
    auto identifier = crashedLaunch(device(), "before-first-turn");
    ASSERT_TRUE(identifier);
    m_backend.failRoute("POST", "/sdk-api/*", 500, 1);
    ASSERT_TRUE(launch());
    EXPECT_TRUE(m_controller->lastLaunchFailed());
    EXPECT_TRUE(stored().empty());
    EXPECT_TRUE(logged("[Ember:Crash:Client] Urgent upload of"));
    ASSERT_TRUE(settle([&] { return !stored().empty() && entries(m_files->preparedPath()).empty(); }));
    EXPECT_EQ(m_backend.crashReports().reportsWithIdentifier(*identifier).size(), 1u);
    EXPECT_TRUE(m_delegate->offered.empty());
    EXPECT_EQ(uploadsReceived(), 2u);
}

}
}
