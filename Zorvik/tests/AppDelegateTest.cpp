#include "Zorvik/AppDelegate.h"
#include "Zorvik/Analytics/WayfinderConfiguration.h"
#include "Zorvik/Controllers/AnalyticsListener.h"
#include "Zorvik/Controllers/AppController.h"
#include "Zorvik/DeviceStorage/DeviceSettingsStore.h"
#include "Zorvik/DeviceStorage/FileStore.h"
#include "Zorvik/Events/AnalyticsEvents.h"
#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/Transitions/NavigationControllerAnimationDelegate.h"
#include "Zorvik/tests/DeviceStorageFixture.h"
#include "ZorvikAPI/repositories/RESTRepositories/RESTRepository.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "attribution/WayfinderTracker.h"
#include "kit/analytics/Tally.h"
#include "kit/core/CRNKitRegistry.h"
#include "kit/core/CRNSettingsOnboardingManager.h"
#include "kit/core/Cairn.h"
#include "kit/crash/Ember.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/outside/KDRSDKAppEvents.h"
#include "platform/outside/KDRSDKApplicationDelegate.h"
#include "platform/outside/Pulse.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "testing/ScopedEnvironment.h"
#include "testing/StoreLock.h"
#include "testing/backend/AttributionService.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

namespace fs = std::filesystem;
using platform::foundation::Files;
using platform::foundation::mainQueue;
using platform::outside::KDRSDKApplicationDelegate;
using platform::ui::Application;

/// A screen of some earlier moment.
class EarlierScreen : public platform::ui::ViewController {
public:
    std::string className() const override { return "EarlierScreen"; }
};

/// A kit that tells `started` when the platform starts it.
class ProbeKit : public kit::Kit {
public:
    explicit ProbeKit(std::function<void()> started)
        : m_started(std::move(started))
    {
    }
    std::string kitName() const override { return "Signet"; }
    std::string bundleIdentifier() const override { return "test.probe"; }
    std::string kitDisplayVersion() const override { return "1.0"; }
    void initializeIfNeeded() override { m_started(); }

private:
    std::function<void()> m_started;
};

/// A device with a fresh home, an app bundle of its own (the repository's pictures, test template files and
/// an Info.plist with the kit API key), the kit services on a local back-end, and every outside service as
/// new; the application object runs an AppDelegate.
class AppDelegateTest : public DeviceStorageTest {
protected:
    void SetUp() override
    {
        DeviceStorageTest::SetUp();
        resetOutsideServices();
        auto info = platform::foundation::Dictionary::make({ { "CFBundleIdentifier", "com.zorvik.Zorvik" },
            { "CFBundleVersion", "1" }, { "CFBundleShortVersionString", "0.1.0" },
            { "Cairn", platform::foundation::Dictionary::make({ { "APIKey", ::testing::KitService::acceptedAPIKey() } }) } });
        ASSERT_TRUE(Files::writeText(m_bundle.path() / "Info.plist",
            *platform::foundation::PropertyList::xml(platform::foundation::Value(info))));
        m_environment.set(kit::CRNSettingsOnboardingManager::kSettingsEndpointKey, m_backend.baseUrl());
        m_environment.set(kit::CRNSettingsOnboardingManager::kAppConfigureEndpointKey, m_backend.baseUrl());
        fs::create_directories(m_bundle.path() / "ZorvikResources");
        fs::copy(fs::path(ZORVIK_REPOSITORY_DIR) / "resources" / "images", m_bundle.path() / "images");
        writeResource("template.html", "<html>{invoice}</html>");
        writeResource("style.css", "body { margin: 0 }");
        writeResource("moment.js", "var moment = 1;");
        Files::setBundleDirectory(m_bundle.path());
    }

    void TearDown() override
    {
        Application::shared().reset();
        resetOutsideServices();
        Files::setBundleDirectory({});
        DeviceStorageTest::TearDown();
    }

    static void resetOutsideServices()
    {
        KDRSDKApplicationDelegate::sharedInstance().reset();
        platform::outside::KDRSDKAppEvents::reset();
        attribution::WayfinderTracker::sharedTracker().reset();
        kit::Cairn::sharedSDK().reset();
        kit::Ember::sharedInstance()->reset();
        kit::Tally::sharedInstance()->reset();
        kit::CRNKitRegistry::shared().unregisterClass("Signet");
        auto& repositories = api::Repositories::sharedInstance();
        repositories.setAuthenticationMechanism(nullptr);
        repositories.setFreelancersRepository(nullptr);
        repositories.setCompaniesHouse(nullptr);
    }

    void writeResource(const std::string& name, const std::string& contents)
    {
        ASSERT_TRUE(Files::writeText(m_bundle.path() / "ZorvikResources" / name, contents));
    }

    /// Launches the application (a new process's launch: a new delegate on a reset application object) and
    /// answers what launch answered; what it wrote to standard output goes to m_printed.
    bool launch()
    {
        auto& application = Application::shared();
        application.reset();
        m_delegate = std::make_shared<AppDelegate>();
        application.setDelegate(m_delegate);
        ::testing::internal::CaptureStdout();
        bool launched = application.launch();
        m_printed = ::testing::internal::GetCapturedStdout();
        return launched;
    }

    std::shared_ptr<platform::ui::NavigationController> navigation() const
    {
        return std::dynamic_pointer_cast<platform::ui::NavigationController>(
            platform::ui::ViewController::rootViewController(*m_delegate->window()));
    }

    std::string topScreen() const { return navigation()->topViewController()->className(); }

    /// The lines "File Saved: <Documents>/<name>" for the names.
    std::string savedLines(const std::vector<std::string>& names) const
    {
        std::string lines;
        for (const auto& name : names)
            lines += "File Saved: " + (documents() / name).string() + "\n";
        return lines;
    }

    /// The number of notifications named `name` posted while the result lives is counted in `count`.
    platform::foundation::ObserverToken count(const char* name, int& count)
    {
        return platform::foundation::NotificationCenter::defaultCenter().addObserver(
            name, nullptr, [&count](const platform::foundation::Notification&) { ++count; });
    }

    ::testing::TemporaryDirectory m_bundle;
    ::testing::Backend m_backend;
    ::testing::ScopedEnvironment m_environment;
    std::shared_ptr<AppDelegate> m_delegate;
    std::string m_printed;
};

/// What had happened at one moment of the launch.
struct LaunchState {
    bool apiWired { false };
    bool windowShown { false };
    bool screenChooserMade { false };
    bool socialSDKTold { false };
    bool attributionConfigured { false };
    bool settingsExist { false };
    bool kitPlatformAsked { false };
    bool templatesCopied { false };

    bool operator==(const LaunchState&) const = default;
};

void PrintTo(const LaunchState& s, std::ostream* out)
{
    *out << "api " << s.apiWired << ", window " << s.windowShown << ", chooser " << s.screenChooserMade
         << ", social " << s.socialSDKTold << ", attribution " << s.attributionConfigured << ", settings "
         << s.settingsExist << ", kits " << s.kitPlatformAsked << ", templates " << s.templatesCopied;
}

TEST_F(AppDelegateTest, LaunchRunsItsStepsInOrderAndAlwaysSucceeds)
{
    auto& sdk = KDRSDKApplicationDelegate::sharedInstance();
    sdk.setLaunchAnswer(false);
    auto now = [&]() {
        LaunchState state;
        auto& repositories = api::Repositories::sharedInstance();
        state.apiWired = repositories.authenticationMechanism() && repositories.freelancersRepository()
            && repositories.companiesHouse();
        auto window = m_delegate->window();
        state.windowShown = window && window->isKeyWindow()
            && platform::ui::ViewController::rootViewController(*window) != nullptr;
        state.screenChooserMade = m_delegate->appController() != nullptr;
        state.socialSDKTold = !sdk.calls().empty();
        state.attributionConfigured = attribution::WayfinderTracker::sharedTracker().wayfinderDevKey()
            == WayfinderConfiguration::devKey();
        state.settingsExist = DeviceSettingsStore::sharedStore().fetchDeviceSettings().value.has_value();
        state.kitPlatformAsked = kit::Ember::sharedInstance()->isEmberStarted();
        state.templatesCopied = fs::exists(documents() / "template.html");
        return state;
    };
    std::vector<LaunchState> seen;
    sdk.setCallObserver([&](const platform::outside::KDRSDKCall&) { seen.push_back(now()); });
    // The platform adds a registered "Signet" after the app's kits and starts it last.
    kit::CRNKitRegistry::shared().registerClass(
        kit::CRNKitClass::kitClass(std::make_shared<ProbeKit>([&] { seen.push_back(now()); })));

    EXPECT_TRUE(launch()) << "launch succeeds although the Kindred SDK answers no";

    ASSERT_EQ(seen.size(), 2u) << "the Kindred SDK and the kit platform each hear of the launch once";
    EXPECT_EQ(seen[0], (LaunchState { true, true, true, true, false, false, false, false }));
    EXPECT_EQ(seen[1], (LaunchState { true, true, true, true, true, true, true, false }));
    EXPECT_EQ(now(), (LaunchState { true, true, true, true, true, true, true, true }));
    auto analytics = AnalyticsListener::sharedAnalyticsManager()->pulse()->records();
    ASSERT_FALSE(analytics.empty());
    EXPECT_EQ(analytics.back().event, "Opened App") << "the analytics listener heard the first activation";
    EXPECT_EQ(sdk.calls().front().kind, platform::outside::KDRSDKCall::Kind::DidFinishLaunching);
    EXPECT_EQ(sdk.calls().front().launchOptions, nullptr);
    std::vector<std::string> kits;
    for (const auto& kitClass : kit::Cairn::sharedSDK().kitClasses())
        kits.push_back(kitClass->name());
    EXPECT_EQ(kits, (std::vector<std::string> { "Ember", "Signet", "Tally" }));

    auto freelancers = std::dynamic_pointer_cast<api::RESTRepository>(
        api::Repositories::sharedInstance().freelancersRepository());
    ASSERT_NE(freelancers, nullptr);
    EXPECT_TRUE(freelancers->repositoryUrl().ends_with("/api/freelancers"));

    auto stack = std::dynamic_pointer_cast<NoHistoryNavigationController>(navigation());
    ASSERT_NE(stack, nullptr);
    EXPECT_TRUE(stack->isNavigationBarHidden());
    EXPECT_EQ(stack->delegate(), m_delegate->navigationControllerDelegate());
    EXPECT_NE(std::dynamic_pointer_cast<NavigationControllerAnimationDelegate>(stack->delegate()), nullptr);
    EXPECT_EQ(topScreen(), "StartSignupViewController") << "the first activation chose the start screen";
}

TEST_F(AppDelegateTest, TheKitPlatformStartsWithEmberAndRegistersTheAppWithTheBackEnd)
{
    std::atomic<int> announced { 0 };
    auto token = platform::foundation::NotificationCenter::defaultCenter().addObserver(
        kit::CRNSettingsOnboardingManager::kSettingsAvailableNotification, nullptr,
        [&](const platform::foundation::Notification&) { ++announced; });

    ASSERT_TRUE(launch());
    EXPECT_TRUE(kit::Ember::sharedInstance()->isEmberStarted());
    ASSERT_TRUE(mainQueue().runUntil([&] { return announced > 0; }));

    std::vector<std::string> requests;
    for (const auto& request : m_backend.requests())
        requests.push_back(request.method + " " + request.path);
    const std::string settings = "GET /spi/v2/platforms/ios/apps/com.zorvik.Zorvik/settings";
    EXPECT_EQ(requests, (std::vector<std::string> { settings, "POST /spi/v1/platforms/ios/apps", settings }))
        << "a new app: settings, create, settings again";
    auto record = m_backend.kit().app("ios", "com.zorvik.Zorvik");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->get("libraries"),
        platform::foundation::Value(platform::foundation::Dictionary::make(
            { { "com.cairn.ember.ios", "3.7.0" }, { "com.cairn.tally.ios", "1.2.0" },
                { "io.cairn.sdk.ios", "1.6.5" } })));
    auto& platform = kit::Cairn::sharedSDK();
    EXPECT_TRUE(platform.isFirstInstall());
    EXPECT_EQ(platform.settings()->get("app").dictionary()->get("status"), platform::foundation::Value("activated"));
    EXPECT_EQ(announced, 1);
}

TEST_F(AppDelegateTest, TheBackgroundPictureFillsTheWindowBeneathTheScreens)
{
    struct Case {
        platform::ui::Size screen;
        const char* picture;
    };
    const std::vector<Case> cases {
        { platform::ui::Screen::size320x480, "BackgroundOffCentreBubbleBlur" },
        { platform::ui::Screen::size320x568, "BackgroundOffCentreBubbleBlur" },
        { platform::ui::Screen::size375x667, "BackgroundOffCentreBubbleBlur-667" },
        { platform::ui::Screen::size414x736, "BackgroundOffCentreBubbleBlur" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::ui::toString(c.screen));
        platform::ui::ScopedMainScreen screen(c.screen);
        ASSERT_TRUE(launch());
        auto window = m_delegate->window();
        window->layoutIfNeeded();

        EXPECT_EQ(window->frame(), platform::ui::Screen::main().bounds());
        ASSERT_GE(window->subviews().size(), 2u);
        auto background = std::dynamic_pointer_cast<platform::ui::ImageView>(window->subviews().front());
        ASSERT_NE(background, nullptr) << "the picture lies beneath everything";
        ASSERT_NE(background->image(), nullptr);
        EXPECT_EQ(background->image()->name(), c.picture);
        EXPECT_EQ(background->frame(), window->bounds());
        EXPECT_EQ(navigation()->view()->window(), window.get()) << "the screens lie above the picture";
    }
}

TEST_F(AppDelegateTest, TemplateFilesFollowTheAppsResources)
{
    ASSERT_TRUE(launch());
    EXPECT_EQ(m_printed, savedLines({ "template.html", "style.css", "moment.js" })) << "first launch";
    EXPECT_EQ(Files::readText(documents() / "template.html"), "<html>{invoice}</html>");

    ASSERT_TRUE(launch());
    EXPECT_EQ(m_printed, "") << "identical copies are left alone";

    writeResource("template.html", "<html><h1>Invoice</h1>{invoice}</html>");
    ASSERT_TRUE(Files::writeText(documents() / "moment.js", "damaged"));
    ASSERT_TRUE(launch());
    EXPECT_EQ(m_printed, savedLines({ "template.html", "moment.js" }))
        << "an updated app brings its template";
    EXPECT_EQ(Files::readText(documents() / "template.html"), "<html><h1>Invoice</h1>{invoice}</html>");
    EXPECT_EQ(Files::readText(documents() / "moment.js"), "var moment = 1;");
    EXPECT_EQ(Files::readText(documents() / "style.css"), "body { margin: 0 }");
}

TEST_F(AppDelegateTest, AMissingResourceIsReportedAndLaunchGoesOn)
{
    fs::remove(m_bundle.path() / "ZorvikResources" / "style.css");

    ASSERT_TRUE(launch());

    EXPECT_EQ(m_printed,
        savedLines({ "template.html" })
            + "Could not create copy item to Path: the app's resources hold no ZorvikResources/style.css\n"
            + savedLines({ "moment.js" }));
    EXPECT_FALSE(fs::exists(documents() / "style.css"));
    EXPECT_EQ(topScreen(), "StartSignupViewController");
}

TEST_F(AppDelegateTest, EachActivationTellsTheOutsideServicesButChoosesOnlyAfterTheBackground)
{
    m_environment.set("ZORVIK_WAYFINDER_URL", m_backend.baseUrl());
    auto& tracker = attribution::WayfinderTracker::sharedTracker();
    auto attributionService = ::testing::AttributionService::of(m_backend);
    int opened = 0;
    auto openedToken = count(AnalyticsEvents::analyticsOpenedApp, opened);
    auto& application = Application::shared();
    ASSERT_TRUE(launch());
    mainQueue().advance(0.1);
    tracker.waitUntilIdle();

    EXPECT_EQ(opened, 1);
    EXPECT_EQ(platform::outside::KDRSDKAppEvents::activations().size(), 1u);
    auto launches = attributionService->requests();
    ASSERT_EQ(launches.size(), 1u) << "the service read the launch with the app's key";
    EXPECT_EQ(launches.front().appId, WayfinderConfiguration::appleAppID());
    EXPECT_EQ(launches.front().field("event"), "Launched");

    FileStore {}.saveToFile(AppController::kUserFileName, "ann@example.com");
    mainQueue().advance(2);
    application.resignActive();
    application.becomeActive();
    mainQueue().advance(0.1);
    EXPECT_EQ(topScreen(), "StartSignupViewController") << "a system alert is no return from the background";
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(platform::outside::KDRSDKAppEvents::activations().size(), 2u);
    tracker.waitUntilIdle();
    EXPECT_EQ(attributionService->requests().size(), 2u);

    application.enterBackground();
    tracker.waitUntilIdle();
    ASSERT_EQ(attributionService->statistics().size(), 1u) << "the move to the background is reported";
    application.enterForeground();
    EXPECT_EQ(topScreen(), "StartSignupViewController") << "a short absence keeps the screen";
    EXPECT_EQ(opened, 3);
}

TEST_F(AppDelegateTest, TheIdleLimitBringsBackThePinLogIn)
{
    FileStore {}.saveToFile(AppController::kUserFileName, "ann@example.com");
    auto& application = Application::shared();
    ASSERT_TRUE(launch());
    ASSERT_EQ(topScreen(), "LoginWithPinViewController") << "a known user meets the PIN log-in first";
    navigation()->setViewControllers({ std::make_shared<EarlierScreen>() }, false);

    application.enterBackground();
    mainQueue().advance(659);
    application.enterForeground();
    EXPECT_EQ(topScreen(), "EarlierScreen") << "659 s away";

    application.enterBackground();
    mainQueue().advance(660);
    application.enterForeground();
    EXPECT_EQ(topScreen(), "LoginWithPinViewController") << "660 s away";
    EXPECT_EQ(navigation()->viewControllers().size(), 1u);
}

TEST_F(AppDelegateTest, GoingToTheBackgroundRecordsTheTimeForTheNextStart)
{
    int closed = 0;
    auto closedToken = count(AnalyticsEvents::analyticsClosedApp, closed);
    auto& application = Application::shared();
    ASSERT_TRUE(launch());
    auto settings = DeviceSettingsStore::sharedStore().fetchDeviceSettings().value;
    ASSERT_TRUE(settings.has_value()) << "the first launch makes the settings record";
    EXPECT_EQ(settings->timeAppWentToBackground(), std::nullopt);
    EXPECT_FALSE(settings->hasShownAPNSDialog());

    mainQueue().advance(30);
    application.enterBackground();
    EXPECT_FALSE(m_delegate->appController()->isStarted());
    EXPECT_EQ(closed, 1);
    application.enterForeground();
    EXPECT_TRUE(m_delegate->appController()->isStarted());
    mainQueue().advance(45);
    application.enterBackground();

    auto later = platform::foundation::Clock::kVirtualStart.addingSeconds(75);
    DeviceSettingsStore::resetSharedStore();
    settings = DeviceSettingsStore::sharedStore().fetchDeviceSettings().value;
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(settings->timeAppWentToBackground(), later) << "the later time, saved to the store file";
    EXPECT_EQ(closed, 2);

    ASSERT_TRUE(launch());
    EXPECT_EQ(
        DeviceSettingsStore::sharedStore().fetchDeviceSettings().value->timeAppWentToBackground(), later)
        << "a later launch keeps the record";
}

TEST_F(AppDelegateTest, ASettingsStoreAnotherProgramHoldsIsNeitherMovedAsideNorDoubled)
{
    auto& application = Application::shared();
    ASSERT_TRUE(launch());
    mainQueue().advance(30);
    application.enterBackground();
    auto left = platform::foundation::Clock::kVirtualStart.addingSeconds(30);
    DeviceSettingsStore::resetSharedStore();
    m_logLines.clear();

    {
        ::testing::StoreLock otherProgram(documents() / DeviceSettingsStore::kFileName);
        ASSERT_TRUE(otherProgram.isHeld());
        ASSERT_TRUE(launch()) << "a launch while another program holds the store";
        mainQueue().advance(30);
        application.enterBackground();
        Application::shared().registerUserNotificationSettings(
            { platform::ui::UserNotificationSettings::None });
        mainQueue().runUntilIdle();
    }

    for (const auto& entry : fs::directory_iterator(documents()))
        EXPECT_EQ(entry.path().filename().string().find(".corrupt-"), std::string::npos) << entry.path();
    EXPECT_FALSE(m_logLines.empty()) << "the failed reads are logged";
    auto records = DeviceSettingsStore::sharedStore().context()->count(
        platform::store::FetchRequest { DeviceSettings::kEntityName });
    EXPECT_EQ(records.value, 1u) << "no second record was made while the store could not be read";
    auto settings = DeviceSettingsStore::sharedStore().fetchDeviceSettings().value;
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(settings->timeAppWentToBackground(), left);
    EXPECT_FALSE(settings->hasShownAPNSDialog());

    application.enterForeground();
    application.enterBackground();
    EXPECT_EQ(DeviceSettingsStore::sharedStore().fetchDeviceSettings().value->timeAppWentToBackground(),
        platform::foundation::Clock::kVirtualStart.addingSeconds(60))
        << "once the store is free the handlers write to it again";
}

TEST_F(AppDelegateTest, AnsweringTheNotificationQuestionIsRecordedWhateverTheAnswer)
{
    ASSERT_TRUE(launch());
    Application::shared().registerUserNotificationSettings({ platform::ui::UserNotificationSettings::None });
    mainQueue().runUntilIdle();

    DeviceSettingsStore::resetSharedStore();
    EXPECT_TRUE(DeviceSettingsStore::sharedStore().fetchDeviceSettings().value->hasShownAPNSDialog());
}

TEST_F(AppDelegateTest, OpeningAURLAnswersWhatTheKindredSDKAnswers)
{
    auto& sdk = KDRSDKApplicationDelegate::sharedInstance();
    ASSERT_TRUE(launch());
    for (bool answer : { false, true }) {
        sdk.setOpenURLAnswer(answer);
        EXPECT_EQ(
            Application::shared().handleOpenURL("kdr1047395822://authorize", "com.kindred.app", "a"), answer);
    }
    auto calls = sdk.calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls.back().kind, platform::outside::KDRSDKCall::Kind::OpenURL);
    EXPECT_EQ(calls.back().url, "kdr1047395822://authorize");
    EXPECT_EQ(calls.back().sourceApplication, "com.kindred.app");
    EXPECT_EQ(calls.back().annotation, "a");
}

}
}
