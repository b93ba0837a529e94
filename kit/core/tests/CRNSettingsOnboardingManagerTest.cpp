#include "kit/core/CRNSettingsOnboardingManager.h"

#include "kit/core/CRNApplicationIdentiferModel.h"
#include "kit/core/CRNNetworkClient.h"
#include "kit/core/Cairn.h"
#include "kit/core/tests/KitAppFixture.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"

#include "testing/server/LoopbackServer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kit::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::Files;
using platform::foundation::Value;

constexpr const char* kSettingsPath { "/spi/v2/platforms/ios/apps/com.zorvik.Zorvik/settings" };
constexpr const char* kAppsPath { "/spi/v1/platforms/ios/apps" };

class CRNSettingsOnboardingManagerTest : public KitAppFixture {
protected:
    void SetUp() override
    {
        KitAppFixture::SetUp();
        m_model = CRNApplicationIdentiferModel::initWithInstallID("INSTALL-1");
        ASSERT_TRUE(m_model);
        clearLog();
    }

    void TearDown() override
    {
        m_manager.reset();
        Cairn::sharedSDK().reset();
        KitAppFixture::TearDown();
    }

    /// Starts a run with `key` and waits until its network session has been finished.
    void run(const std::string& key = ::testing::KitService::acceptedAPIKey())
    {
        m_manager = std::make_shared<CRNSettingsOnboardingManager>(m_model);
        m_manager->beginSettingsAndOnboardingOperationsWithAPIKey(
            key, { { "com.cairn.ember.ios", "3.7.0" }, { Cairn::kBundleID, Cairn::kVersion } });
        ASSERT_TRUE(settle([&] { return m_manager->networkClient()->session()->isInvalidated(); }));
    }

    /// A record of this app as the service would keep it after an upload of this build.
    Value currentRecord(const std::string& build) const
    {
        return Dictionary::make(
            { { "build_version", build }, { "instance_identifier", m_model->instanceIdentifier() } });
    }

    void writeSettings(const std::string& text) const
    {
        std::filesystem::create_directories(CRNSettingsOnboardingManager::settingsDirectoryPath());
        ASSERT_TRUE(Files::writeText(CRNSettingsOnboardingManager::settingsPath(), text));
    }

    std::shared_ptr<const CRNApplicationIdentiferModel> m_model;
    std::shared_ptr<CRNSettingsOnboardingManager> m_manager;
};

// One device over three launches: the service first meets the app, then knows it, then holds an older build.
TEST_F(CRNSettingsOnboardingManagerTest, EachLaunchFollowsTheAppsStatusWithOneAnnouncement)
{
    struct Case {
        const char* name;
        std::optional<std::string> recordedBuild;
        std::vector<std::string> requests;
        std::size_t requestsAtAnnouncement;
    };
    const std::string get = std::string("GET ") + kSettingsPath;
    const std::vector<Case> cases {
        { "a new app is created, then its settings fetched again", std::nullopt,
            { get, std::string("POST ") + kAppsPath, get }, 3 },
        { "an up-to-date record is only announced", std::nullopt, { get }, 1 },
        { "an out-of-date record is announced, then updated", "6",
            { get, std::string("PUT ") + kAppsPath + "/com.zorvik.Zorvik" }, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.recordedBuild)
            m_backend.kit().setApp("ios", "com.zorvik.Zorvik", currentRecord(*c.recordedBuild));
        m_backend.clearRequests();
        clearAnnouncements();

        run();

        EXPECT_EQ(requestLines(), c.requests);
        EXPECT_EQ(announced(), std::vector<std::size_t> { c.requestsAtAnnouncement });
        EXPECT_EQ(m_manager->hasAttemptedAppConfigure(), c.requests.size() > 1);
        EXPECT_TRUE(m_manager->hasDownloadedSettings());
        EXPECT_EQ(m_manager->settingsModel()->appStatus(), "activated");
        auto saved = Files::readText(CRNSettingsOnboardingManager::settingsPath());
        ASSERT_TRUE(saved);
        EXPECT_TRUE(platform::foundation::parseJson(*saved).value.dictionary()->contains("features"));
    }
    EXPECT_EQ(m_backend.kit().app("ios", "com.zorvik.Zorvik")->get("build_version"), Value("7"));
}

TEST_F(CRNSettingsOnboardingManagerTest, EndpointsComeFromTheEnvironmentThenInfoPlistThenTheBuild)
{
    struct Case {
        std::optional<std::string> environment;
        std::optional<std::string> infoPlist;
        std::optional<std::string> buildSetting;
        std::string expected;
    };
    const std::vector<Case> cases {
        { "http://127.0.0.1:1001", "http://127.0.0.1:1002", "http://127.0.0.1:1003",
            "http://127.0.0.1:1001" },
        { std::nullopt, "http://127.0.0.1:1002", "http://127.0.0.1:1003", "http://127.0.0.1:1002" },
        { std::nullopt, std::nullopt, "http://127.0.0.1:1003", "http://127.0.0.1:1003" },
        { std::nullopt, std::nullopt, std::nullopt, "http://127.0.0.1:8080" },
    };
    const std::vector<std::pair<std::string, std::string>> keys {
        { CRNSettingsOnboardingManager::kSettingsEndpointKey, "ZORVIK_KIT_SETTINGS_URL" },
        { CRNSettingsOnboardingManager::kAppConfigureEndpointKey, "ZORVIK_KIT_CONFIGURE_URL" },
    };
    for (const auto& [key, buildSetting] : keys) {
        for (const auto& c : cases) {
            SCOPED_TRACE(key + " expecting " + c.expected);
            m_environment.set(key, c.environment);
            m_environment.set(buildSetting, c.buildSetting);
            auto ember = Dictionary::make();
            if (c.infoPlist)
                ember->set(key, *c.infoPlist);
            writeInfo(Dictionary::make({ { "Ember", ember } }));
            EXPECT_EQ(CRNSettingsOnboardingManager::valueForConfigurationKey(key), c.expected);
        }
    }
    EXPECT_EQ(CRNSettingsOnboardingManager::valueForConfigurationKey("ReportsEndpoint"), std::nullopt);
}

TEST_F(CRNSettingsOnboardingManagerTest, TheAdvertisingTokenIsSentOnlyWhenIdentifiersMayBeReported)
{
    Cairn::sharedSDK().setAdvertisingToken("ad-token");
    m_backend.kit().setApp("ios", "com.zorvik.Zorvik", currentRecord("7"));
    for (bool report : { true, false }) {
        SCOPED_TRACE(report);
        writeInfo(Dictionary::make({ { "Cairn", Dictionary::make({ { "ReportIdentifiers", report } }) } }));
        m_backend.clearRequests();
        run();
        auto request = m_backend.lastRequest();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->header("X-Ember-Advertising-Token"),
            report ? std::optional<std::string>("ad-token") : std::nullopt);
        EXPECT_EQ(request->header("X-Ember-Installation-ID"), "INSTALL-1");
        EXPECT_EQ(request->header("X-Ember-API-Client-Version"), "1.6.5");
        EXPECT_EQ(request->header("Accept"), "application/json");
        EXPECT_EQ(request->queryValue("instance"), m_model->instanceIdentifier());
        EXPECT_EQ(request->queryValue("icon_hash"), std::nullopt) << "the bundle has no icon";
    }
}

TEST_F(CRNSettingsOnboardingManagerTest, AFailedDownloadKeepsTheSavedSettingsAndAnnouncesNothing)
{
    ::testing::LoopbackServer other;
    other.route("GET", "/broken/*", [](const auto&) {
        return ::testing::ServerResponse::text(200, "{\"features\": ", "application/json");
    });
    other.route("GET", "/array/*",
        [](const auto&) { return ::testing::ServerResponse::text(200, "[1, 2]", "application/json"); });
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::string key;
        std::size_t requests;
        const char* logged;
    };
    const std::string key = ::testing::KitService::acceptedAPIKey();
    const std::vector<Case> cases {
        { "a 500 twice", [&] { m_backend.failRoute("GET", "/spi/*", 500, 2); }, key, 2,
            "\"status_code\":500" },
        { "a body that is no JSON",
            [&] {
                m_environment.set(CRNSettingsOnboardingManager::kSettingsEndpointKey, other.url("/broken"));
            },
            key, 1, "Unable to complete settings download The settings are not a JSON object." },
        { "a JSON array",
            [&] {
                m_environment.set(CRNSettingsOnboardingManager::kSettingsEndpointKey, other.url("/array"));
            },
            key, 1, "Unable to complete settings download The settings are not a JSON object." },
        { "a refused API key", [&] { m_backend.kit().setRequiredAPIKey(key); }, "not-the-key", 1,
            "\"status_code\":401" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeSettings(R"({"old":true})");
        m_backend.clearRequests();
        other.clearRequests();
        clearLog();
        c.arrange();
        run(c.key);

        EXPECT_EQ(m_backend.requests().size() + other.requestCount(), c.requests);
        EXPECT_EQ(Files::readText(CRNSettingsOnboardingManager::settingsPath()), R"({"old":true})");
        EXPECT_TRUE(announced().empty());
        EXPECT_FALSE(m_manager->hasDownloadedSettings()) << "the saved settings are an earlier run's";
        EXPECT_TRUE(logged(c.logged));
        EXPECT_TRUE(logged("[Cairn] failed to download settings"));
        m_environment.set(CRNSettingsOnboardingManager::kSettingsEndpointKey, m_backend.baseUrl());
        m_backend.kit().setRequiredAPIKey(std::nullopt);
    }
}

TEST_F(CRNSettingsOnboardingManagerTest, AFailedCreateStillAnnouncesTheSettingsDownloadedOnce)
{
    m_backend.failRoute("POST", kAppsPath, 422);
    run();
    EXPECT_EQ(requestLines(),
        (std::vector<std::string> { std::string("GET ") + kSettingsPath, std::string("POST ") + kAppsPath }));
    EXPECT_EQ(announced(), std::vector<std::size_t> { 2 });
    EXPECT_TRUE(
        logged("[Cairn] unable to complete application configure: Error Domain=CRNNetworkError Code=-5"));
    EXPECT_EQ(m_manager->settingsModel()->appStatus(), "new");
}

TEST_F(CRNSettingsOnboardingManagerTest, ProgressIsLoggedInDebugModeOnly)
{
    run();
    EXPECT_TRUE(log().empty());

    Cairn::sharedSDK().setDebug(true);
    m_backend.kit().setApp("ios", "com.zorvik.Zorvik", currentRecord("6"));
    run();
    ASSERT_TRUE(settle([&] { return logged("completed application update"); }));
    EXPECT_EQ(log(),
        (std::vector<std::string> { "[Cairn] settings downloaded successfully",
            "[Cairn] Settings are available for consumption", "[Cairn] Starting onboarding with app update",
            "[Cairn] completed application update" }));
}

TEST_F(CRNSettingsOnboardingManagerTest, AManagerThatGoesAwayMidDownloadLetsGoOfEverything)
{
    writeSettings(R"({"old":true})");
    m_backend.delayRoute("GET", "/spi/*", 2);
    auto manager = std::make_shared<CRNSettingsOnboardingManager>(m_model);
    manager->beginSettingsAndOnboardingOperationsWithAPIKey(::testing::KitService::acceptedAPIKey(), {});
    ASSERT_TRUE(platform::foundation::mainQueue().runUntil([&] { return m_backend.requests().size() == 1; }));
    std::weak_ptr<CRNNetworkClient> client = manager->networkClient();
    manager.reset();

    ASSERT_TRUE(platform::foundation::mainQueue().runUntil([&] { return client.expired(); }))
        << "the cancelled download lets go of the client and its session";
    EXPECT_TRUE(announced().empty());
    EXPECT_EQ(Files::readText(CRNSettingsOnboardingManager::settingsPath()), R"({"old":true})");
}

}
}
