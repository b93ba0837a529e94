#include "kit/crash/Ember.h"

#include "kit/analytics/EMBAnalyticsController.h"
#include "kit/analytics/Tally.h"
#include "kit/analytics/tests/EventLogLines.h"
#include "kit/core/Cairn.h"
#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/EMBWebViewMonitor.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "kit/crash/tests/CaptureFixture.h"
#include "kit/crash/tests/UserLoggingFixture.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kit {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using platform::foundation::Value;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;

constexpr const char* kVersionLine { "[Ember] Version 3.7.0 (102)" };

// A delegate that implements only the methods it is given.
class PartialDelegate : public EmberDelegate {
public:
    bool legacyWithReport { false };
    bool legacy { false };
    std::optional<bool> backgroundSessions;

    bool implementsDidDetectCrashDuringPreviousExecutionWithReport() const override
    {
        return legacyWithReport;
    }
    bool implementsDidDetectCrashDuringPreviousExecution() const override { return legacy; }
    bool implementsCanUseBackgroundSessions() const override { return backgroundSessions.has_value(); }
    bool emberCanUseBackgroundSessions(Ember&) override { return backgroundSessions.value_or(true); }
};

// The kit in a fresh home with capture set up in this process, its log lines kept, the kit platform, the
// crash kit and analytics unstarted.
class EmberTest : public testing::CaptureFixture {
protected:
    void SetUp() override
    {
        platform::foundation::Files::setHomeDirectory(m_home.path());
        platform::foundation::Log::setCapture([this](const std::string& line) {
            std::lock_guard lock(m_logMutex);
            m_log.push_back(line);
        });
        resetKits();
    }

    void TearDown() override
    {
        resetKits();
        platform::foundation::Log::setCapture({});
        platform::foundation::Files::setHomeDirectory({});
        CaptureFixture::TearDown();
    }

    /// Ends the launch as a process would (the crash kit's work done, capture taken down, the main queue's
    /// pending work dropped) and forgets the kits' starts.
    static void resetKits()
    {
        if (auto controller = Ember::sharedInstance()->crashReportingController()) {
            mainQueue().runUntilIdle();
            controller->waitUntilIdle();
        }
        testing::waitForCaptureSetUp();
        EMBContextBaseDeinit();
        mainQueue().reset();
        Cairn::sharedSDK().reset();
        Ember::sharedInstance()->reset();
        Tally::sharedInstance()->reset();
    }

    /// How many logged lines hold `part`.
    std::size_t logged(const std::string& part) const
    {
        std::lock_guard lock(m_logMutex);
        return std::count_if(m_log.begin(), m_log.end(),
            [&](const std::string& line) { return line.find(part) != line.npos; });
    }

    /// The keys of a key-value store of the report directory, once the logging queue has drained.
    std::map<std::string, std::string> keys(const std::string& store) const
    {
        EMBUserLoggingQueue()->waitUntilIdle();
        auto path = [&](const char* kind) { return (m_reportDirectory.path() / (store + kind)).string(); };
        return testing::storedKeys(path("_compacted_kv.embrecord"), path("_incremental_kv.embrecord"));
    }

    static std::shared_ptr<Ember> ember() { return Ember::sharedInstance(); }

    /// The keys of the lines analytics stored in its `name` log files ("1.log"), once its queues are idle.
    static std::vector<std::string> analyticsKeys(std::string_view name)
    {
        if (auto controller = Tally::sharedInstance()->analyticsController())
            controller->waitUntilIdle();
        return kit::test::keys(kit::test::activeEventLogLines(*Tally::analyticsRootDirectory(), name));
    }

    ::testing::TemporaryDirectory m_home;
    mutable std::mutex m_logMutex;
    std::vector<std::string> m_log;
};

TEST_F(EmberTest, MakingOneAnswersTheProcesssKit)
{
    auto made = Ember::init();
    EXPECT_EQ(made, Ember::sharedInstance());
    EXPECT_EQ(Ember::init(), made);
    EXPECT_EQ(made->kitName(), "Ember");
    EXPECT_EQ(made->bundleIdentifier(), "com.cairn.ember.ios");
    EXPECT_EQ(made->kitDisplayVersion(), "3.7.0");
    EXPECT_EQ(made->version(), "3.7.0");
}

TEST_F(EmberTest, ThePlatformStartsEmberAndAnalyticsOnceAndOnlyWithAKey)
{
    Cairn::sharedSDK().setAPIKey("");
    Cairn::with({ Ember::init() });
    EXPECT_FALSE(ember()->isEmberStarted()) << "no API key: nothing starts";
    EXPECT_EQ(Tally::sharedInstance()->analyticsController(), nullptr);

    Cairn::sharedSDK().reset();
    Cairn::sharedSDK().setAPIKey("k-123");
    Cairn::with({ Ember::init() });
    EXPECT_TRUE(ember()->isEmberStarted());
    std::vector<std::string> kits;
    for (const auto& kitClass : Cairn::sharedSDK().kitClasses())
        kits.push_back(kitClass->name());
    EXPECT_EQ(kits, (std::vector<std::string> { "Ember", "Tally" })) << "analytics comes with the crash kit";

    // Analytics' own hook, and the platform's again, find the start done.
    Tally::sharedInstance()->initializeIfNeeded();
    ember()->initializeIfNeeded();
    EXPECT_EQ(logged(kVersionLine), 1u);
    EXPECT_EQ(analyticsKeys("1.log"), (std::vector<std::string> { "metadata", "app_launched" }))
        << "analytics starts once";
    auto metadata = kit::test::activeEventLogLines(*Tally::analyticsRootDirectory(), "1.log").at(0).json();
    EXPECT_FALSE(metadata.dictionary()->contains("beta_tester_token")) << "no beta support: no beta token";
    EXPECT_EQ(ember()->betaController(), nullptr);
    EXPECT_EQ(ember()->APIKey(), "k-123");
    EXPECT_EQ(ember()->installID(), Cairn::sharedSDK().installID());
    EXPECT_TRUE(ember()->isFirstInstall());
}

TEST_F(EmberTest, ConcurrentStartsRunTheStartOnceAndEachReturnsAfterIt)
{
    constexpr int kThreads { 8 };
    std::vector<bool> startedOnReturn(kThreads, false);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            ember()->initializeIfNeeded();
            startedOnReturn[i]
                = ember()->isEmberStarted() && Tally::sharedInstance()->analyticsController() != nullptr;
        });
    for (auto& thread : threads)
        thread.join();

    EXPECT_EQ(logged(kVersionLine), 1u);
    EXPECT_EQ(analyticsKeys("1.log"), (std::vector<std::string> { "metadata", "app_launched" }))
        << "analytics started once";
    EXPECT_EQ(startedOnReturn, std::vector<bool>(kThreads, true)) << "a caller that came meanwhile waited";
}

TEST_F(EmberTest, EveryStartFormStartsThePlatformWithTheKeyAndTheOlderOnesSaySoAndIgnoreTheDelay)
{
    struct Case {
        const char* name;
        std::function<std::shared_ptr<Ember>(const std::string&, std::shared_ptr<EmberDelegate>)> start;
        bool setsDelegate;
        const char* warning;
    };
    const Case cases[] = {
        { "key", [](const std::string& key, auto) { return Ember::startWithAPIKey(key); }, false, nullptr },
        { "key, delegate", [](const std::string& key, auto d) { return Ember::startWithAPIKey(key, d); },
            true, nullptr },
        { "key, delay", [](const std::string& key, auto) { return Ember::startWithAPIKey(key, 30.0); }, false,
            "[Ember] Warning, startWithAPIKey:afterDelay: is deprecated." },
        { "key, delegate, delay",
            [](const std::string& key, auto d) { return Ember::startWithAPIKey(key, d, 30.0); }, true,
            "[Ember] Warning, startWithAPIKey:delegate:afterDelay: is deprecated." },
    };
    for (const auto& form : cases) {
        SCOPED_TRACE(form.name);
        resetKits();
        auto delegate = std::make_shared<PartialDelegate>();
        auto answered = form.start("key-" + std::string(form.name), delegate);
        EXPECT_EQ(answered, ember());
        EXPECT_TRUE(ember()->isEmberStarted()) << "started at once";
        EXPECT_EQ(Cairn::sharedSDK().APIKey(), "key-" + std::string(form.name));
        EXPECT_EQ(ember()->delegate(), form.setsDelegate ? delegate : nullptr);
        if (form.warning) {
            EXPECT_EQ(logged(form.warning), 1u);
        }
    }
    EXPECT_EQ(logged("Warning, setting delegate after start"), 0u)
        << "each delegate was set before its start";
}

TEST_F(EmberTest, DebugModeIsWhatTheAppAsksAndSettingItAfterStartWarns)
{
    ember()->setDebugMode(true);
    EXPECT_TRUE(ember()->debugMode());
    ember()->setDebugMode(false);
    EXPECT_FALSE(ember()->debugMode())
        << "an app asking for no debug mode keeps pinning on in every kit client";
    EXPECT_FALSE(Cairn::sharedSDK().debug());
    EXPECT_EQ(logged("consider enabling debug mode"), 0u);

    ember()->setDebugMode(true);
    ember()->start();
    EXPECT_EQ(logged("[Ember] Running on iOS Simulator ("), 1u) << "debug mode shows the device at start";
    ember()->setDebugMode(false);
    EXPECT_FALSE(ember()->debugMode());
    EXPECT_EQ(logged("[Ember] Warning, consider enabling debug mode before starting Ember"), 1u);
}

TEST_F(EmberTest, TheDelegateIsCheckedOnTheMainQueueAfterStartAndSettingItLateWarns)
{
    auto delegate = std::make_shared<PartialDelegate>();
    delegate->legacy = true;
    delegate->backgroundSessions = true;
    ember()->setDelegate(delegate);
    ember()->start();
    EXPECT_EQ(logged("implements deprecated methods"), 0u) << "checked later, on the main queue";
    mainQueue().runUntilIdle();
    EXPECT_THAT(m_log,
        ::testing::Contains(MatchesRegex("\\[Ember\\] The Ember delegate '<kit::\\(anonymous "
                                         "namespace\\)::PartialDelegate: 0x[0-9a-f]+>' implements "
                                         "deprecated methods\\.  Please see Ember for details\\.")));
    EXPECT_EQ(logged("Background sessions are not supported in extensions"), 0u) << "the app is no extension";
    EXPECT_EQ(logged("setting delegate after start"), 0u);

    ember()->setDelegate(nullptr);
    EXPECT_EQ(
        logged("[Ember] Warning, setting delegate after start. Make sure to set the Ember delegate before "
               "calling startWithAPIKey:.., or +[Cairn with...] to avoid missing some delegate callbacks."),
        1u);
    EXPECT_EQ(ember()->delegate(), nullptr);
}

TEST_F(EmberTest, UserIdentityAndKeysAreRecordedForTheNextReport)
{
    startCapture();
    ember()->setUserIdentifier("u-42");
    ember()->setUserName("Ada Lovelace");
    ember()->setUserEmail("ada@example.co.uk");
    ember()->setDevelopmentPlatformName("unity");
    ember()->setDevelopmentPlatformVersion("2.1");
    ember()->setObjectValue(Value("pounds"), "currency");
    ember()->setIntValue(-7, "retries");
    ember()->setBoolValue(true, "signed-in");
    ember()->setFloatValue(1.5f, "scale");
    ember()->setFloatValue(0.1f, "ratio");
    ember()->setObjectValue(Value("gone"), "temporary");
    ember()->setObjectValue(Value(), "temporary");

    auto internal = keys("internal");
    EXPECT_EQ(internal["com.ember.user-id"], "u-42");
    EXPECT_EQ(internal["com.ember.user-name"], "Ada Lovelace");
    EXPECT_EQ(internal["com.ember.user-email"], "ada@example.co.uk");
    EXPECT_EQ(internal["com.ember.development-platform-name"], "unity");
    EXPECT_EQ(internal["com.ember.development-platform-version"], "2.1");
    EXPECT_EQ(keys("user"),
        (std::map<std::string, std::string> { { "currency", "pounds" }, { "retries", "-7" },
            { "signed-in", "true" }, { "scale", "1.5" }, { "ratio", "0.1" } }));

    EXPECT_EQ(ember()->developmentPlatformName(), std::nullopt) << "write-only, even once set";
    EXPECT_EQ(ember()->developmentPlatformVersion(), std::nullopt);
    EXPECT_EQ(logged("[Ember] developmentPlatformName is write-only"), 1u);
    EXPECT_EQ(logged("[Ember] developmentPlatformVersion is write-only"), 1u);
}

TEST_F(EmberTest, CustomExceptionsAreRecordedAsCustomWithTheirFrames)
{
    startCapture();
    ember()->recordCustomExceptionName("PaymentMismatch", "paid 10.00, owed 12.00",
        { EMBStackFrame::stackFrameWithSymbol("zorvik::Invoice::markPaid()") });
    auto recorded = customExceptions();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].type, "custom");
    EXPECT_EQ(recorded[0].name, "PaymentMismatch");
    EXPECT_EQ(recorded[0].reason, "paid 10.00, owed 12.00");
}

TEST_F(EmberTest, AWatchedWebViewLoadsWhatIsNoReportAndRecordsAReportInsteadOfLoadingIt)
{
    startCapture();
    platform::ui::WebView view;
    struct Case {
        const char* url;
        bool mayLoad;
    };
    for (const auto& load : { Case { "https://zorvik.example/terms", true }, Case { "about:blank", true },
             Case { "ember://exception/uiwebkit?msg=Uncaught%20TypeError&url=about%3Ablank&line=3", false } })
        EXPECT_EQ(ember()->handleWebViewShouldStartLoadWithRequest(
                      view, load.url, platform::ui::WebViewNavigationType::Other),
            load.mayLoad)
            << load.url;
    auto recorded = customExceptions();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].type, "javascript");
    EXPECT_EQ(recorded[0].reason, "Uncaught TypeError");

    EXPECT_FALSE(ember()->monitorErrorsForUIWebView(view)) << "a view without a script engine";
    EXPECT_THAT(m_log,
        ::testing::Contains(MatchesRegex("\\[Ember\\] Unable to monitor UIWebView \\(0x[0-9a-f]+\\)")));
}

TEST_F(EmberTest, AWatchedConfigurationReportsThroughTheKitAsItsEmberHandler)
{
    startCapture();
    platform::ui::WebViewConfiguration configuration;
    EXPECT_TRUE(ember()->monitorErrorsForWKWebViewConfiguration(configuration));
    auto content = configuration.userContentController();
    EXPECT_EQ(content->messageHandlerNames(), std::vector<std::string> { "ember" });
    ASSERT_EQ(content->userScripts().size(), 1u);
    EXPECT_EQ(content->userScripts()[0].source, EMBWebViewMessageMonitorScript());

    auto report = std::make_shared<Dictionary>();
    report->set("msg", "Uncaught ReferenceError: total is not defined");
    EXPECT_TRUE(content->deliver({ "ember", report, {} }));
    EXPECT_TRUE(content->deliver({ "ember", Value("not a report"), {} }));
    EXPECT_EQ(logged("[Ember] Unable to record exception from WKWebView"), 1u);
    auto recorded = customExceptions();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].reason, "Uncaught ReferenceError: total is not defined");

    EXPECT_FALSE(ember()->monitorErrorsForWKWebViewConfiguration(configuration))
        << "its handler name is taken";
    EXPECT_EQ(content->userScripts().size(), 1u) << "nothing installed twice";
    EXPECT_THAT(m_log,
        ::testing::Contains(
            MatchesRegex("\\[Ember\\] Unable to monitor <platform::ui::WebViewConfiguration: 0x[0-9a-f]+>")));
}

TEST_F(EmberTest, EventsGoToAnalyticsWithACopyOfTheirAttributes)
{
    Tally::startWithBetaToken(std::nullopt);
    auto attributes = std::make_shared<Dictionary>();
    attributes->set("amount", 12000);
    ember()->logEvent("invoice sent");
    ember()->logEvent("invoice paid", attributes);
    attributes->set("amount", 1);

    Tally::sharedInstance()->analyticsController()->waitUntilIdle();
    auto lines = kit::test::activeEventLogLines(*Tally::analyticsRootDirectory(), "2.log");
    ASSERT_EQ(kit::test::keys(lines), (std::vector<std::string> { "metadata", "custom", "custom" }));
    auto sent = lines[1].json().dictionary();
    EXPECT_EQ(sent->get("custom_type").stringValue(), "invoice sent");
    EXPECT_EQ(sent->get("custom_attributes").dictionary()->size(), 0u);
    auto paid = lines[2].json().dictionary();
    EXPECT_EQ(paid->get("custom_type").stringValue(), "invoice paid");
    EXPECT_EQ(paid->get("custom_attributes").dictionary()->get("amount").integerValue(), 12000);
}

using EmberDeathTest = EmberTest;

TEST_F(EmberDeathTest, TheTestFaultsEndTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ember()->crash(), ::testing::KilledBySignal(SIGILL), "");
    // Uncaught, as no handler lies above it.
    EXPECT_EXIT([]() noexcept { ember()->throwException(); }(), ::testing::KilledBySignal(SIGABRT), "");
}

}
}
