#include "platform/outside/APIConfiguration.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "testing/backend/Backend.h"
#include "testing/server/RefusingPort.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace platform::outside {
namespace {

using foundation::Array;
using foundation::Dictionary;
using foundation::Value;
using http::HttpError;

// What one fetch reported.
struct Fetch {
    std::vector<Configuration> configurations;
    std::vector<HttpError> errors;

    void run(APIConfiguration& client)
    {
        client.fetchConfiguration([this](const Configuration& found) { configurations.push_back(found); },
            [this](const HttpError& failed) { errors.push_back(failed); });
        auto& queue = foundation::mainQueue();
        queue.runUntil([this] { return configurations.size() + errors.size() > 0; });
        queue.runUntilIdle();
    }
};

class APIConfigurationTest : public ::testing::Test {
protected:
    ::testing::Backend m_backend;
    APIConfiguration m_client { m_backend.url("/") };
};

TEST_F(APIConfigurationTest, TheServiceDecidesWhichVersionsMayRun)
{
    Fetch accepted;
    accepted.run(m_client);
    ASSERT_EQ(accepted.configurations.size(), 1u);
    EXPECT_TRUE(accepted.errors.empty());
    EXPECT_TRUE(accepted.configurations[0].isOk("1000"));
    EXPECT_FALSE(accepted.configurations[0].isOk("100"));
    EXPECT_FALSE(accepted.configurations[0].isOk("10000"));
    EXPECT_EQ(m_backend.lastRequest()->method, "GET");
    EXPECT_EQ(m_backend.lastRequest()->path, "/");

    m_backend.setAcceptedVersions({ "1001", "1002" });
    Fetch refused;
    refused.run(m_client);
    ASSERT_EQ(refused.configurations.size(), 1u);
    EXPECT_FALSE(refused.configurations[0].isOk("1000"));
    EXPECT_TRUE(refused.configurations[0].isOk("1002"));
    EXPECT_EQ(refused.configurations[0].redirectUrl(), m_backend.url("/upgrade"));
}

TEST_F(APIConfigurationTest, ARelativeRedirectIsTakenRelativeToTheService)
{
    m_backend.setConfiguration(Dictionary::make({
        { "versions", Dictionary::make({ { "accepted", Array::make({ Value("999") }) } }) },
        { "redirectUrl", "/update-page" },
    }));
    Fetch fetch;
    fetch.run(m_client);
    ASSERT_EQ(fetch.configurations.size(), 1u);
    EXPECT_FALSE(fetch.configurations[0].isOk("1000"));
    EXPECT_EQ(fetch.configurations[0].redirectUrl(), m_backend.url("/update-page"));
}

TEST_F(APIConfigurationTest, FailuresAndUnusableDocumentsGoToTheErrorBlockOnce)
{
    struct Case {
        const char* name;
        std::function<std::string()> prepare;
        HttpError::Code code;
    };
    ::testing::RefusingPort closed;
    const std::vector<Case> cases {
        { "server down", [&] { return closed.url("/"); }, HttpError::Code::CannotConnect },
        { "server error",
            [&] {
                m_backend.failRoute("GET", "/", 503, 1);
                return m_backend.url("/");
            },
            HttpError::Code::BadStatus },
        { "no accepted versions",
            [&] {
                m_backend.setConfiguration(Dictionary::make({ { "redirectUrl", "/upgrade" } }));
                return m_backend.url("/");
            },
            HttpError::Code::CannotParseResponse },
        { "no redirect",
            [&] {
                m_backend.setConfiguration(Dictionary::make({ { "versions",
                    Dictionary::make({ { "accepted", Array::make({ Value("1000") }) } }) } }));
                return m_backend.url("/");
            },
            HttpError::Code::CannotParseResponse },
        { "not an object",
            [&] {
                m_backend.setConfiguration(Array::make({ Value("1000") }));
                return m_backend.url("/");
            },
            HttpError::Code::CannotParseResponse },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        APIConfiguration client(test.prepare());
        Fetch fetch;
        fetch.run(client);
        EXPECT_TRUE(fetch.configurations.empty());
        ASSERT_EQ(fetch.errors.size(), 1u);
        EXPECT_EQ(fetch.errors[0].code(), test.code) << fetch.errors[0].message();
    }
}

}
}
