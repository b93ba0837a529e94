#include "kit/crash/EMBSettings.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kit {
namespace {

using platform::foundation::DictionaryRef;
using platform::foundation::Files;

class EMBSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::foundation::Log::setCapture([this](const std::string& line) { m_log.push_back(line); });
        Files::setBundleDirectory(m_bundle.path());
    }
    void TearDown() override
    {
        for (const char* name : { "EmberSubmitReports", "EmberReportsEndpoint", "ZORVIK_KIT_REPORTS_URL" })
            unsetenv(name);
        Files::setBundleDirectory({});
        platform::foundation::Log::setCapture({});
    }

    void writeInfoPlist(const std::string& emberEntries)
    {
        std::ofstream(m_bundle.path() / "Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>CFBundleIdentifier</key><string>com.zorvik.app</string>"
               "<key>Ember</key><dict>"
            << emberEntries << "</dict></dict></plist>\n";
    }
    static DictionaryRef downloaded(const std::string& json)
    {
        return platform::foundation::parseJson(json).value.dictionary();
    }

    ::testing::TemporaryDirectory m_bundle;
    std::vector<std::string> m_log;
};

TEST_F(EMBSettingsTest, WithoutDownloadedSettingsTheDefaultsHold)
{
    EMBSettings settings;
    EXPECT_TRUE(settings.crashReportingEnabled());
    EXPECT_TRUE(settings.errorReportingEnabled());
    EXPECT_TRUE(settings.customExceptionsEnabled());
    EXPECT_FALSE(settings.userPromptEnabled());
    EXPECT_EQ(settings.logBufferSize(), 65536u);
    EXPECT_EQ(settings.errorLogBufferSize(), 65536u);
    EXPECT_EQ(settings.maxCustomExceptions(), 16u);
    EXPECT_EQ(settings.maxCustomKeys(), 16u);
    EXPECT_EQ(settings.betaSuspendDuration(), 3600.0);
    EXPECT_TRUE(settings.shouldPackageReports());
    EXPECT_TRUE(settings.shouldSubmitReports());
    EXPECT_TRUE(settings.canProcessUrgentReports());
    EXPECT_EQ(settings.reportsEndpoint(), "http://127.0.0.1:8080");
    EXPECT_EQ(settings.betaEndpoint(), "http://127.0.0.1:8080");
    EXPECT_EQ(settings.interactivePromptTitle(), "Send Crash Report?");
    EXPECT_EQ(settings.interactivePromptCancelTitle(), "Don't Send");
    EXPECT_TRUE(m_log.empty());

    setenv("ZORVIK_KIT_REPORTS_URL", "http://127.0.0.1:4141", 1);
    EXPECT_EQ(settings.reportsEndpoint(), "http://127.0.0.1:4141");
}

TEST_F(EMBSettingsTest, EnvironmentFlagsReadAsBooleanValues)
{
    const std::vector<std::pair<const char*, bool>> cases { { " +01", true }, { "true", true },
        { "YES", true }, { "7", true }, { "false", false }, { "no", false }, { "0", false }, { "", false },
        { "-0", false } };
    writeInfoPlist("<key>SubmitReports</key><true/>");
    for (const auto& [text, expected] : cases) {
        setenv("EmberSubmitReports", text, 1);
        EXPECT_EQ(EMBSettings().shouldSubmitReports(), expected) << '"' << text << '"';
    }
}

TEST_F(EMBSettingsTest, EnvironmentWinsOverInfoPlistWhichWinsOverTheDefault)
{
    writeInfoPlist(
        "<key>SubmitReports</key><false/><key>ReportsEndpoint</key><string>http://plist.test</string>");
    EMBSettings settings;
    EXPECT_FALSE(settings.shouldSubmitReports());
    EXPECT_EQ(settings.reportsEndpoint(), "http://plist.test");
    EXPECT_TRUE(settings.shouldPackageReports());
    EXPECT_TRUE(m_log.empty());

    setenv("EmberReportsEndpoint", "http://env.test", 1);
    EXPECT_EQ(settings.reportsEndpoint(), "http://env.test");
    EXPECT_EQ(
        m_log, std::vector<std::string> { "[Ember:Crash] override: 'ReportsEndpoint' => 'http://env.test'" });
}

TEST_F(EMBSettingsTest, DownloadedValuesOfTheWrongTypeOrRangeCountAsMissing)
{
    EMBSettings good(downloaded(R"({"features":{"collect_reports":false,"collect_logged_exceptions":false,
        "prompt_enabled":true},"session":{"log_buffer_size":1024,"max_custom_exception_events":4,
        "max_custom_key_value_pairs":0},"beta":{"update_suspend_duration":90.5}})"));
    EXPECT_FALSE(good.crashReportingEnabled());
    EXPECT_FALSE(good.customExceptionsEnabled());
    EXPECT_TRUE(good.userPromptEnabled());
    EXPECT_EQ(good.logBufferSize(), 1024u);
    EXPECT_EQ(good.maxCustomExceptions(), 4u);
    EXPECT_EQ(good.maxCustomKeys(), 0u);
    EXPECT_EQ(good.betaSuspendDuration(), 90.5);
    EXPECT_TRUE(m_log.empty());

    EMBSettings bad(downloaded(R"({"features":{"collect_reports":"no","collect_logged_exceptions":[]},
        "session":{"log_buffer_size":-1,"max_custom_exception_events":4294967296,
        "max_custom_key_value_pairs":"32"},"beta":{"update_suspend_duration":-5},"prompt":"Send?"})"));
    EXPECT_TRUE(bad.crashReportingEnabled());
    EXPECT_TRUE(bad.errorReportingEnabled());
    EXPECT_EQ(bad.logBufferSize(), 65536u);
    EXPECT_EQ(bad.maxCustomExceptions(), 16u);
    EXPECT_EQ(bad.maxCustomKeys(), 16u);
    EXPECT_EQ(bad.betaSuspendDuration(), 3600.0);
    EXPECT_EQ(bad.interactivePromptTitle(), "Send Crash Report?");
    ASSERT_EQ(m_log.size(), 7u);
    EXPECT_EQ(m_log[0],
        "[Ember:Crash] settings: 'features.collect_reports' has the wrong type or range, default used");
}

TEST_F(EMBSettingsTest, DownloadedFlagsAndCountsMayBeWrittenAsAnyNumber)
{
    struct Case {
        const char* json;
        bool collectReports;
        std::uint32_t logBufferSize;
    };
    const std::vector<Case> cases {
        { R"({"features":{"collect_reports":0},"session":{"log_buffer_size":1024.0}})", false, 1024 },
        { R"({"features":{"collect_reports":1},"session":{"log_buffer_size":2048}})", true, 2048 },
        { R"({"features":{"collect_reports":0.0},"session":{"log_buffer_size":1e3}})", false, 1000 },
        { R"({"features":{"collect_reports":false},"session":{"log_buffer_size":1024.5}})", false, 65536 },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.json);
        EMBSettings settings(downloaded(testCase.json));
        EXPECT_EQ(settings.crashReportingEnabled(), testCase.collectReports);
        EXPECT_EQ(settings.logBufferSize(), testCase.logBufferSize);
    }
}

TEST_F(EMBSettingsTest, PromptTextsPreferTheAppsTableThenTheServerThenTheDefault)
{
    std::filesystem::create_directories(m_bundle.path() / "en.lproj");
    std::ofstream(m_bundle.path() / "en.lproj" / "Ember.strings")
        << "/* Crash prompt */\n\"EmberCrashSubmissionPromptTitle\" = \"Zorvik stopped "
           "\\\"unexpectedly\\\"\";\n"
           "// buttons\n\"EmberCrashSubmissionSendTitle\" = \"Send it\";\n";
    EMBSettings settings(downloaded(R"({"prompt":{"title":"Server title","message":"Server message"}})"));
    EXPECT_EQ(settings.interactivePromptTitle(), "Zorvik stopped \"unexpectedly\"");
    EXPECT_EQ(settings.interactivePromptMessage(), "Server message");
    EXPECT_EQ(settings.interactivePromptSendTitle(), "Send it");
    EXPECT_EQ(settings.interactivePromptAlwaysSendTitle(), "Always Send");

    std::ofstream(m_bundle.path() / "en.lproj" / "Ember.strings")
        << "\"EmberCrashSubmissionPromptTitle\" = broken";
    EXPECT_EQ(settings.interactivePromptTitle(), "Server title");
}

}
}
