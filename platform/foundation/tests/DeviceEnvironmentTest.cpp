#include "platform/foundation/DeviceEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

using platform::foundation::DeviceEnvironment;
using platform::foundation::ScopedDeviceEnvironment;

namespace {

// Sets environment variables for one test and puts the old values back.
class EnvironmentVariables : public ::testing::Test {
protected:
    void set(const char* name, const char* value)
    {
        if (!m_saved.contains(name)) {
            const char* old = std::getenv(name);
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }

    void TearDown() override
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        DeviceEnvironment::resetToProcessEnvironment();
    }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

using DeviceEnvironmentFromProcess = EnvironmentVariables;

}

TEST_F(DeviceEnvironmentFromProcess, LocaleComesFromLcAllThenLang)
{
    struct Case {
        const char* lcAll;
        const char* lang;
        const char* expected;
    };
    const Case cases[] = {
        { nullptr, "en_GB.UTF-8", "en_GB" },
        { "de_DE.UTF-8", "en_GB.UTF-8", "de_DE" },
        { "", "fr_FR@euro", "fr_FR" },
        { nullptr, "C.UTF-8", "en_US_POSIX" },
        { "POSIX", nullptr, "en_US_POSIX" },
        { nullptr, nullptr, "en_US_POSIX" },
        { nullptr, "not a locale!", "en_US_POSIX" },
    };
    for (const auto& c : cases) {
        set("LC_ALL", c.lcAll);
        set("LANG", c.lang);
        DeviceEnvironment::resetToProcessEnvironment();
        EXPECT_EQ(DeviceEnvironment::localeIdentifier(), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " / " << (c.lang ? c.lang : "-");
    }
}

TEST_F(DeviceEnvironmentFromProcess, TimeZoneComesFromTz)
{
    set("TZ", "Europe/London");
    DeviceEnvironment::resetToProcessEnvironment();
    EXPECT_EQ(DeviceEnvironment::timeZoneIdentifier(), "Europe/London");

    set("TZ", ":America/New_York");
    DeviceEnvironment::resetToProcessEnvironment();
    EXPECT_EQ(DeviceEnvironment::timeZoneIdentifier(), "America/New_York");

    // A zone the database does not know falls back to the host's zone, which is a real one.
    set("TZ", "Nowhere/Special");
    DeviceEnvironment::resetToProcessEnvironment();
    EXPECT_NE(DeviceEnvironment::timeZoneIdentifier(), "Nowhere/Special");
    EXPECT_FALSE(DeviceEnvironment::timeZoneIdentifier().empty());
}

TEST(DeviceEnvironment, SettingsAcceptBothLocaleFormsAndRefuseUnknownValues)
{
    ScopedDeviceEnvironment pinned("en_GB", "Europe/London");
    EXPECT_TRUE(DeviceEnvironment::setLocaleIdentifier("de-DE"));
    EXPECT_EQ(DeviceEnvironment::localeIdentifier(), "de_DE");
    EXPECT_FALSE(DeviceEnvironment::setLocaleIdentifier(""));
    EXPECT_FALSE(DeviceEnvironment::setLocaleIdentifier("../etc"));
    EXPECT_EQ(DeviceEnvironment::localeIdentifier(), "de_DE");

    EXPECT_TRUE(DeviceEnvironment::setTimeZoneIdentifier("Asia/Tokyo"));
    EXPECT_FALSE(DeviceEnvironment::setTimeZoneIdentifier("Mars/Olympus_Mons"));
    EXPECT_FALSE(DeviceEnvironment::setTimeZoneIdentifier(""));
    EXPECT_EQ(DeviceEnvironment::timeZoneIdentifier(), "Asia/Tokyo");
}

TEST(DeviceEnvironment, ScopedSettingsRestoreWhatWasThereBefore)
{
    ScopedDeviceEnvironment outer("en_GB", "Europe/London");
    {
        ScopedDeviceEnvironment inner("de_DE", "Europe/Berlin");
        EXPECT_EQ(DeviceEnvironment::localeIdentifier(), "de_DE");
        EXPECT_EQ(DeviceEnvironment::timeZoneIdentifier(), "Europe/Berlin");
    }
    EXPECT_EQ(DeviceEnvironment::localeIdentifier(), "en_GB");
    EXPECT_EQ(DeviceEnvironment::timeZoneIdentifier(), "Europe/London");
}
