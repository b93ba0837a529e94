#include "Zorvik/Program/ProgramOptions.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

TEST(ProgramOptionsTest, ServiceAddressesComeFromTheBackendAndEachOptionWins)
{
    struct Case {
        std::vector<std::string> arguments;
        std::map<std::string, std::string> environment;
    };
    const std::vector<Case> cases {
        { {}, {} },
        { { "--backend", "http://127.0.0.1:4040/" },
            { { "ZORVIK_API_URL", "http://127.0.0.1:4040/" },
                { "ZORVIK_COMPANIES_URL", "http://127.0.0.1:4040/" },
                { "ZORVIK_CONFIG_URL", "http://127.0.0.1:4040/" },
                { "ZORVIK_PHOTO_URL", "http://127.0.0.1:4040" },
                { "ZORVIK_KIT_REPORTS_URL", "http://127.0.0.1:4040" },
                { "ZORVIK_KIT_BETA_URL", "http://127.0.0.1:4040" },
                { "ZORVIK_KIT_SETTINGS_URL", "http://127.0.0.1:4040" },
                { "ZORVIK_KIT_CONFIGURE_URL", "http://127.0.0.1:4040" },
                { "ZORVIK_WAYFINDER_URL", "http://127.0.0.1:4040" } } },
        { { "--api-url", "https://api.test/v1/", "--backend", "http://127.0.0.1:4040" },
            { { "ZORVIK_API_URL", "https://api.test/v1/" },
                { "ZORVIK_COMPANIES_URL", "http://127.0.0.1:4040/" },
                { "ZORVIK_CONFIG_URL", "http://127.0.0.1:4040/" },
                { "ZORVIK_PHOTO_URL", "http://127.0.0.1:4040" },
                { "ZORVIK_KIT_REPORTS_URL", "http://127.0.0.1:4040" },
                { "ZORVIK_KIT_BETA_URL", "http://127.0.0.1:4040" },
                { "ZORVIK_KIT_SETTINGS_URL", "http://127.0.0.1:4040" },
                { "ZORVIK_KIT_CONFIGURE_URL", "http://127.0.0.1:4040" },
                { "ZORVIK_WAYFINDER_URL", "http://127.0.0.1:4040" } } },
        { { "--companies-url", "http://c.test/", "--config-url", "http://g.test/", "--photo-url",
              "http://p.test" },
            { { "ZORVIK_COMPANIES_URL", "http://c.test/" }, { "ZORVIK_CONFIG_URL", "http://g.test/" },
                { "ZORVIK_PHOTO_URL", "http://p.test" } } },
    };
    for (const auto& c : cases) {
        auto parsed = ProgramOptions::parse(c.arguments);
        ASSERT_TRUE(parsed.options.has_value()) << parsed.error;
        EXPECT_EQ(parsed.options->serviceEnvironment(), c.environment);
    }
}

TEST(ProgramOptionsTest, ReadsTheDeviceScreenAndScript)
{
    auto parsed
        = ProgramOptions::parse({ "--home", "/tmp/device", "--screen", "414x736", "--echo", "demo.txt" });
    ASSERT_TRUE(parsed.options.has_value()) << parsed.error;
    const auto& options = *parsed.options;
    EXPECT_EQ(options.home, "/tmp/device");
    EXPECT_EQ(options.screen, (platform::ui::Size { 414, 736 }));
    EXPECT_EQ(options.scale, 3);
    EXPECT_TRUE(options.echo);
    EXPECT_EQ(options.script, "demo.txt");

    EXPECT_EQ(ProgramOptions::parse({ "-" }).options->script, std::nullopt) << "\"-\" is standard input";
    EXPECT_EQ(ProgramOptions::parse({ "--script", "-" }).options->script, std::nullopt);
    EXPECT_EQ(ProgramOptions::parse({}).options->screen, (platform::ui::Size { 320, 568 }));
}

TEST(ProgramOptionsTest, RefusesWhatItCannotUse)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases {
        { { "--bogus" }, "unknown option --bogus" },
        { { "-x" }, "unknown option -x" },
        { { "--home" }, "--home needs a value" },
        { { "--backend", "" }, "--backend needs a value" },
        { { "--screen", "1024x768" },
            "--screen takes 320x480, 320x568, 375x667 or 414x736, not \"1024x768\"" },
        { { "--api-url", "127.0.0.1:80" },
            "--api-url needs an http:// or https:// URL, not \"127.0.0.1:80\"" },
        { { "--backend", "http://" },
            "--backend needs a whole URL with a host, such as http://127.0.0.1:8080, not \"http://\"" },
        { { "--photo-url", "https://:8080/photos" },
            "--photo-url needs a whole URL with a host, such as http://127.0.0.1:8080, not "
            "\"https://:8080/photos\"" },
        { { "--backend", "http://127.0.0.1:99999" },
            "--backend needs a whole URL with a host, such as http://127.0.0.1:8080, not "
            "\"http://127.0.0.1:99999\"" },
        { { "a.txt", "b.txt" }, "more than one script: a.txt and b.txt" },
        { { "a.txt", "--script", "b.txt" }, "more than one script: a.txt and b.txt" },
        { { "--script", "a.txt", "--script", "b.txt" }, "more than one script: a.txt and b.txt" },
    };
    for (const auto& [arguments, error] : cases) {
        auto parsed = ProgramOptions::parse(arguments);
        EXPECT_FALSE(parsed.options.has_value()) << arguments.front();
        EXPECT_EQ(parsed.error, error);
    }
}

}
}
