#include "kit/core/CRNSettings.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"

#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kit {
namespace {

using platform::foundation::Files;

class CRNSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto info = platform::foundation::Dictionary::make({ { "CFBundleIdentifier", "com.zorvik/Zorvik" },
            { "CFBundleVersion", "7 beta" }, { "CFBundleShortVersionString", "0.1.0" } });
        ASSERT_TRUE(Files::writeText(m_bundle.path() / "Info.plist",
            *platform::foundation::PropertyList::xml(platform::foundation::Value(info))));
        Files::setBundleDirectory(m_bundle.path());
        platform::foundation::Log::setCapture([this](const std::string& line) { m_log.push_back(line); });
    }

    void TearDown() override
    {
        platform::foundation::Log::setCapture({});
        Files::setBundleDirectory({});
    }

    ::testing::TemporaryDirectory m_bundle;
    ::testing::TemporaryDirectory m_folder;
    std::filesystem::path m_file { m_folder.path() / "settings.json" };
    std::vector<std::string> m_log;
};

TEST_F(CRNSettingsTest, TheURLNamesTheAppAndLeavesOutAMissingIconHashOrInstance)
{
    // Without a readable executable there is no instance identifier to send.
    EXPECT_EQ(CRNSettings::settingsURLForEndpoint("http://127.0.0.1:8080", std::nullopt, std::nullopt),
        "http://127.0.0.1:8080/spi/v2/platforms/ios/apps/com.zorvik_Zorvik/settings"
        "?build_version=7%20beta&display_version=0.1.0&source=1");
    EXPECT_EQ(CRNSettings::settingsURLForEndpoint("http://127.0.0.1:8080", "f00d", std::nullopt),
        "http://127.0.0.1:8080/spi/v2/platforms/ios/apps/com.zorvik_Zorvik/settings"
        "?build_version=7%20beta&display_version=0.1.0&instance=f00d&source=1");
    EXPECT_EQ(CRNSettings::settingsURLForEndpoint("http://127.0.0.1:8080", "f00d", "abc"),
        "http://127.0.0.1:8080/spi/v2/platforms/ios/apps/com.zorvik_Zorvik/settings"
        "?build_version=7%20beta&display_version=0.1.0&instance=f00d&icon_hash=abc&source=1");
}

TEST_F(CRNSettingsTest, TheAppsStatusIsReadFromTheSavedFileUntilCleared)
{
    struct Case {
        const char* text;
        std::optional<std::string> status;
        bool needsOnboarding;
        bool updateRequired;
    };
    const std::vector<Case> cases {
        { R"({"app":{"status":"new"}})", "new", true, false },
        { R"({"app":{"status":"activated","update_required":true}})", "activated", false, true },
        { R"({"app":null,"features":{}})", std::nullopt, false, false },
        { R"({"app":{"status":null,"update_required":false}})", std::nullopt, false, false },
    };
    CRNSettings settings(m_file);
    EXPECT_EQ(settings.settingsDictionary(), nullptr) << "no file yet";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(Files::writeText(m_file, c.text));
        settings.clearSettingsDictionary();
        EXPECT_EQ(settings.appStatus(), c.status);
        EXPECT_EQ(settings.appNeedsOnboarding(), c.needsOnboarding);
        EXPECT_EQ(settings.appUpdateRequired(), c.updateRequired);
    }
    ASSERT_TRUE(Files::writeText(m_file, R"({"app":{"status":"new"}})"));
    EXPECT_EQ(settings.appStatus(), std::nullopt) << "kept until cleared";
    EXPECT_TRUE(m_log.empty());
}

TEST_F(CRNSettingsTest, ADamagedFileIsLoggedAndDeletedWhenRead)
{
    for (const char* text : { "{\"app\": ", "[1, 2]", "\"text\"", "" }) {
        SCOPED_TRACE(text);
        m_log.clear();
        ASSERT_TRUE(Files::writeText(m_file, text));
        CRNSettings settings(m_file);
        EXPECT_EQ(settings.settingsDictionary(), nullptr);
        EXPECT_FALSE(std::filesystem::exists(m_file));
        ASSERT_EQ(m_log.size(), 1u);
        EXPECT_TRUE(m_log[0].starts_with("[Cairn] Could not load settings with error: ")) << m_log[0];
    }
}

}
}
