#include "kit/crash/EMBBetaController.h"

#include "kit/core/Cairn.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/ScreenDriver.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace kit {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using platform::foundation::NotificationCenter;
using platform::foundation::Value;
using platform::ui::Application;

constexpr const char* kUpdateURL { "https://beta.example.test/install/zorvik-2.0" };

// The facade's part: the kit key and the downloaded settings a test sets.
class Delegate : public EMBBetaControllerDelegate {
public:
    std::optional<std::string> APIKeyForBetaController(EMBBetaController&) override
    {
        return testing::KitService::acceptedAPIKey();
    }
    EMBSettings settingsForBetaController(EMBBetaController&) override { return EMBSettings(settings); }

    platform::foundation::DictionaryRef settings;
};

// A distribution-signed app with a key window to show the alert in, talking to a local back-end.
class EMBBetaControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::foundation::Log::setCapture([this](const std::string& line) {
            std::lock_guard lock(m_logMutex);
            m_log.push_back(line);
        });
        std::ofstream(m_bundle.path() / "Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>CFBundleIdentifier</key><string>com.zorvik.app</string>"
               "<key>CFBundleName</key><string>Zorvik</string>"
               "<key>CFBundleVersion</key><string>1000</string>"
               "<key>CFBundleShortVersionString</key><string>1.4</string>"
               "<key>EmberSignedForDistribution</key><true/>"
               "</dict></plist>\n";
        platform::foundation::Files::setBundleDirectory(m_bundle.path());
        setenv("EmberBetaEndpoint", m_backend.baseUrl().c_str(), 1);
        m_window = std::make_shared<platform::ui::Window>();
        platform::ui::ViewController::setRootViewController(
            *m_window, std::make_shared<platform::ui::ViewController>());
        m_window->makeKeyAndVisible();
        m_backend.kit().setBetaUpdate(
            Dictionary::make({ { "url", kUpdateURL }, { "version_string", "2.0 (8)" } }));
    }

    void TearDown() override
    {
        m_controller.reset();
        m_window.reset();
        Application::shared().reset();
        unsetenv("EmberBetaEndpoint");
        platform::foundation::Files::setBundleDirectory({});
        platform::foundation::Log::setCapture({});
        Cairn::sharedSDK().reset();
    }

    std::shared_ptr<EMBBetaController> started(std::optional<std::string> token = "beta-token-1")
    {
        m_controller = EMBBetaController::initWithDelegate(m_delegate, [token] { return token; });
        m_started = m_controller->start();
        return m_controller;
    }

    static void returnToForeground()
    {
        Application::shared().enterBackground();
        Application::shared().enterForeground();
    }

    static void postSettingsDownloaded()
    {
        NotificationCenter::defaultCenter().post(EMBBetaController::kSettingsAvailableNotification);
    }

    std::shared_ptr<platform::ui::AlertController> alert() const
    {
        auto root = platform::ui::ViewController::rootViewController(*m_window);
        return std::dynamic_pointer_cast<platform::ui::AlertController>(
            root ? root->presentedViewController() : nullptr);
    }

    // Lets the triggers so far be looked at and, once the back-end has had `requests` checks in all, the
    // check that is out end and its outcome reach the main queue.
    bool settled(std::size_t requests)
    {
        m_controller->waitUntilIdle();
        bool ended = mainQueue().runUntil(
            [&] { return checkRequests() >= requests && !m_controller->isRetrying(); });
        m_controller->waitUntilIdle();
        mainQueue().runUntilIdle();
        return ended && checkRequests() == requests;
    }

    std::size_t checkRequests() const
    {
        std::size_t count = 0;
        for (const auto& request : m_backend.requests())
            count += request.path.ends_with("/beta_update_check");
        return count;
    }

    bool logged(const std::string& line)
    {
        std::lock_guard lock(m_logMutex);
        return std::find(m_log.begin(), m_log.end(), line) != m_log.end();
    }

    testing::Backend m_backend;
    testing::TemporaryDirectory m_bundle;
    std::shared_ptr<Delegate> m_delegate { std::make_shared<Delegate>() };
    std::shared_ptr<platform::ui::Window> m_window;
    std::shared_ptr<EMBBetaController> m_controller;
    bool m_started { false };
    std::mutex m_logMutex;
    std::vector<std::string> m_log;
};

TEST_F(EMBBetaControllerTest, WithoutATokenStartIsRefusedAndNothingIsChecked)
{
    ASSERT_TRUE(EMBBetaController::isBetaSupported());
    auto controller = EMBBetaController::initWithDelegate(m_delegate);
    EXPECT_EQ(controller->betaToken(), std::nullopt);
    EXPECT_FALSE(controller->start());

    postSettingsDownloaded();
    returnToForeground();
    mainQueue().runUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(checkRequests(), 0u);
    EXPECT_EQ(alert(), nullptr);
}

TEST_F(EMBBetaControllerTest, BetaNeedsADistributionSignedApplication)
{
    struct Case {
        const char* entries;
        bool supported;
    } cases[] = {
        { "<key>EmberSignedForDistribution</key><true/>", true },
        { "<key>EmberSignedForDistribution</key><false/>", false },
        { "", false },
        { "<key>EmberSignedForDistribution</key><true/><key>NSExtension</key><dict>"
          "<key>NSExtensionPointIdentifier</key><string>com.apple.widget-extension</string></dict>",
            false },
    };
    for (const auto& c : cases) {
        std::ofstream(m_bundle.path() / "Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>CFBundleIdentifier</key><string>com.zorvik.app</string>"
            << c.entries << "</dict></plist>\n";
        EXPECT_EQ(EMBBetaController::isBetaSupported(), c.supported) << c.entries;
    }
}

TEST_F(EMBBetaControllerTest, ASettingsDownloadAsksTheServiceWithTheKitsHeadersAndTheToken)
{
    started();
    ASSERT_TRUE(m_started);
    postSettingsDownloaded();
    ASSERT_TRUE(mainQueue().runUntil([&] { return alert() != nullptr; }));

    auto request = m_backend.requests().front();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, "/spi/v2/platforms/ios/apps/com.zorvik.app/beta_update_check");
    ASSERT_EQ(request.query.size(), 4u);
    EXPECT_EQ(request.query[0], std::make_pair(std::string("build_version"), std::string("1000")));
    EXPECT_EQ(request.query[1], std::make_pair(std::string("display_version"), std::string("1.4")));
    EXPECT_EQ(request.query[2].first, "instance");
    EXPECT_EQ(request.query[2].second.size(), 40u) << "the program's instance identifier, SHA-1 hex";
    EXPECT_EQ(request.query[3], std::make_pair(std::string("source"), std::string("3")));
    std::pair<const char*, std::string> headers[] = {
        { "X-Ember-Beta-Token", "beta-token-1" },
        { "X-Ember-API-Key", testing::KitService::acceptedAPIKey() },
        { "User-Agent", "Ember iOS SDK/3.7.0" },
        { "Accept", "application/json" },
        { "Accept-Charset", "utf-8" },
        { "X-Ember-API-Client-Id", "com.cairn.ember.ios" },
        { "X-Ember-API-Client-Display-Version", "3.7.0" },
        { "X-Ember-API-Client-Build-Version", "102" },
        { "X-Ember-Developer-Token", "3e9b1f07c4d82a65e0f9b7d3c1a48e6f2b5d09c7" },
    };
    for (const auto& [name, value] : headers)
        EXPECT_EQ(request.header(name), value) << name;

    auto shown = alert();
    EXPECT_EQ(shown->title(), "New Build Available");
    EXPECT_EQ(shown->message(), "A new version of Zorvik is available for testing.\n2.0 (8)");
    ASSERT_EQ(shown->displayedActions().size(), 2u);
    EXPECT_EQ(shown->displayedActions()[0]->title(), "Cancel");
    EXPECT_EQ(shown->displayedActions()[0]->style(), platform::ui::AlertActionStyle::Cancel);
    EXPECT_EQ(shown->displayedActions()[1]->title(), "Install");
    ASSERT_TRUE(m_controller->activeUpdate());
    EXPECT_EQ(m_controller->activeUpdate()->url(), kUpdateURL);
}

TEST_F(EMBBetaControllerTest, InstallOpensTheUpdatesURLAndCancelOpensNothing)
{
    for (const char* button : { "Install", "Cancel" }) {
        SCOPED_TRACE(button);
        Application::shared().reset();
        {
            std::lock_guard lock(m_logMutex);
            m_log.clear();
        }
        started();
        Cairn::sharedSDK().setDebug(true);
        returnToForeground();
        ASSERT_TRUE(mainQueue().runUntil([&] { return alert() != nullptr; }));
        mainQueue().advance(1);

        platform::ui::ScreenDriver driver;
        driver.execute(std::string("alert ") + button);
        driver.wait(1);

        bool install = std::string(button) == "Install";
        EXPECT_EQ(Application::shared().openedURLs(),
            install ? std::vector<std::string> { kUpdateURL } : std::vector<std::string> {});
        EXPECT_EQ(logged("[Ember:Beta] Beta update url open success"), install);
        EXPECT_FALSE(m_controller->activeUpdate());
        EXPECT_EQ(alert(), nullptr);
    }
}

TEST_F(EMBBetaControllerTest, AnAnswerWithoutAUsableURLShowsNoAlertYetSuspendsChecks)
{
    Value answers[] = {
        Dictionary::make({ { "version_string", "2.0 (8)" } }),
        Dictionary::make({ { "url", "not a url" } }),
        Value(platform::foundation::Array::make()),
    };
    std::size_t asked = 0;
    for (const auto& answer : answers) {
        m_backend.kit().setBetaUpdate(answer);
        started();
        postSettingsDownloaded();
        ASSERT_TRUE(settled(++asked));
        EXPECT_EQ(alert(), nullptr);
        EXPECT_FALSE(m_controller->activeUpdate());
        EXPECT_TRUE(m_controller->checksSuspended());
    }
}

TEST_F(EMBBetaControllerTest, TwoTriggersInARowMakeOneRequest)
{
    started();
    postSettingsDownloaded();
    returnToForeground();
    ASSERT_TRUE(settled(1));
    EXPECT_NE(alert(), nullptr);
}

TEST_F(EMBBetaControllerTest, ASuccessfulAnswerSuspendsChecksForTheSettingsDuration)
{
    m_delegate->settings
        = Dictionary::make({ { "beta", Dictionary::make({ { "update_suspend_duration", 600 } }) } });
    started();
    m_backend.kit().setBetaUpdate(Dictionary::make());
    postSettingsDownloaded();
    ASSERT_TRUE(settled(1));

    mainQueue().advance(599);
    returnToForeground();
    EXPECT_TRUE(settled(1)) << "a return within the suspension asks nothing";

    mainQueue().advance(1);
    EXPECT_FALSE(m_controller->checksSuspended());
    returnToForeground();
    EXPECT_TRUE(settled(2));
}

TEST_F(EMBBetaControllerTest, AfterAFailedRequestTheNextTriggerAsksAgain)
{
    Cairn::sharedSDK().setDebug(true);
    m_backend.failRoute("GET", "/spi/v2/platforms/:platform/apps/:app/beta_update_check", 404, 1);
    started();
    postSettingsDownloaded();
    ASSERT_TRUE(settled(1));
    EXPECT_EQ(alert(), nullptr);
    EXPECT_FALSE(m_controller->checksSuspended());

    postSettingsDownloaded();
    ASSERT_TRUE(mainQueue().runUntil([&] { return alert() != nullptr; }));
    EXPECT_EQ(checkRequests(), 2u);
}

}
}
