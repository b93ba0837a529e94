#include "Zorvik/Models/OstrelSingleton.h"

#include "Zorvik/Models/BuildSettings.h"
#include "Zorvik/Models/Version.h"
#include "platform/foundation/MainQueue.h"
#include "platform/outside/APIConfiguration.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <thread>

namespace zorvik::test {
namespace {

using platform::http::HttpError;
using platform::outside::Configuration;

class OstrelSingletonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("ZORVIK_CONFIG_URL", m_backend.url("/").c_str(), 1);
        OstrelSingleton::setApiConfig(nullptr);
    }

    void TearDown() override
    {
        OstrelSingleton::setApiConfig(nullptr);
        unsetenv("ZORVIK_CONFIG_URL");
    }

    // Asks the configuration as the sign-up and log-in screens do: the configuration, or nullopt on an error.
    std::optional<Configuration> fetch()
    {
        std::optional<Configuration> found;
        bool done = false;
        OstrelSingleton::apiConfig()->fetchConfiguration(
            [&](const Configuration& configuration) {
                found = configuration;
                done = true;
            },
            [&](const HttpError&) { done = true; });
        platform::foundation::mainQueue().runUntil([&] { return done; });
        return found;
    }

    ::testing::Backend m_backend;
};

TEST_F(OstrelSingletonTest, OneClientOfTheConfiguredServiceIsMadeOnFirstAccess)
{
    std::shared_ptr<platform::outside::APIConfiguration> first;
    std::shared_ptr<platform::outside::APIConfiguration> second;
    std::thread other([&] { second = OstrelSingleton::apiConfig(); });
    first = OstrelSingleton::apiConfig();
    other.join();
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, OstrelSingleton::apiConfig());
    EXPECT_EQ(first->url(), m_backend.url("/"));
    EXPECT_EQ(OstrelSingleton("http://example.test/").baseUrl(), "http://example.test/");
}

TEST_F(OstrelSingletonTest, ThisVersionRunsUntilTheServiceRefusesIt)
{
    auto accepted = fetch();
    ASSERT_TRUE(accepted.has_value());
    EXPECT_TRUE(accepted->isOk(Version::appShortVersion()));

    m_backend.setAcceptedVersions({ "1001" });
    auto refused = fetch();
    ASSERT_TRUE(refused.has_value());
    EXPECT_FALSE(refused->isOk(Version::appShortVersion()));
    EXPECT_EQ(refused->redirectUrl(), m_backend.url("/upgrade"));

    m_backend.failRoute("GET", "/", 500, 1);
    EXPECT_EQ(fetch(), std::nullopt);
}

}
}
