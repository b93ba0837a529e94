#include "Zorvik/Models/BuildSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

TEST(BuildSettingsTest, TheEnvironmentOverridesEachServerAddress)
{
    struct Case {
        const char* variable;
        std::function<std::string()> read;
    };
    const std::vector<Case> cases {
        { "ZORVIK_API_URL", &BuildSettings::apiBaseUrl },
        { "ZORVIK_COMPANIES_URL", &BuildSettings::companiesUrl },
        { "ZORVIK_CONFIG_URL", &BuildSettings::configurationUrl },
        { "ZORVIK_PHOTO_URL", &BuildSettings::photoStorageUrl },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.variable);
        unsetenv(test.variable);
        std::string buildDefault = test.read();
        EXPECT_EQ(buildDefault.rfind("http", 0), 0u) << buildDefault;

        setenv(test.variable, "http://127.0.0.1:4242/", 1);
        EXPECT_EQ(test.read(), "http://127.0.0.1:4242/");
        setenv(test.variable, "", 1);
        EXPECT_EQ(test.read(), buildDefault) << "an empty variable does not count";
        unsetenv(test.variable);
    }
    EXPECT_FALSE(BuildSettings::photoAccessKey().empty());
    EXPECT_FALSE(BuildSettings::photoSecretKey().empty());
}

}
}
