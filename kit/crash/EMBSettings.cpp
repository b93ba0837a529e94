#include "kit/crash/EMBSettings.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Log.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace kit {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

void log(const std::string& message)
{
    platform::foundation::Log("[Ember:Crash]").write(message);
}

std::string buildSetting(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

void wrongSetting(const char* section, const char* key)
{
    log(std::string("settings: '") + section + "." + key + "' has the wrong type or range, default used");
}

}

EMBSettings::EMBSettings(DictionaryRef settingsDictionary)
    : m_settingsDictionary(std::move(settingsDictionary))
{
}

Value EMBSettings::valueForConfigurationKey(const std::string& key) const
{
    if (const char* value = std::getenv(("Ember" + key).c_str())) {
        log("override: '" + key + "' => '" + value + "'");
        return Value(value);
    }
    if (auto configured = configuration()->get(key); !configured.isNull())
        return configured;
    return defaultConfiguration()->get(key);
}

DictionaryRef EMBSettings::configuration() const
{
    auto ember = platform::foundation::Bundle::main()->objectForInfoDictionaryKey("Ember").dictionary();
    return ember ? ember : Dictionary::make();
}

DictionaryRef EMBSettings::defaultConfiguration()
{
    return Dictionary::make({
        { "ReportsEndpoint", Value(buildSetting("ZORVIK_KIT_REPORTS_URL", ZORVIK_DEFAULT_KIT_REPORTS_URL)) },
        { "BetaEndpoint", Value(buildSetting("ZORVIK_KIT_BETA_URL", ZORVIK_DEFAULT_KIT_BETA_URL)) },
        { "PackageReports", Value(true) },
        { "SubmitReports", Value(true) },
        { "UrgentReports", Value(true) },
    });
}

double EMBSettings::betaSuspendDuration() const
{
    auto value = setting("beta", "update_suspend_duration");
    if (value.isNull())
        return 3600;
    auto seconds = value.type() == Value::Type::Bool ? std::nullopt : value.number();
    if (!seconds || *seconds < 0) {
        wrongSetting("beta", "update_suspend_duration");
        return 3600;
    }
    return *seconds;
}

std::string EMBSettings::interactivePromptTitle() const
{
    return promptValueForSettingsKey("title", "EmberCrashSubmissionPromptTitle", "Send Crash Report?");
}

std::string EMBSettings::interactivePromptMessage() const
{
    return promptValueForSettingsKey("message", "EmberCrashSubmissionPromptMessage",
        "Looks like we crashed! Please help us fix the problem by sending a crash report.");
}

std::string EMBSettings::interactivePromptCancelTitle() const
{
    return promptValueForSettingsKey("cancel_button_title", "EmberCrashSubmissionCancelTitle", "Don't Send");
}

std::string EMBSettings::interactivePromptSendTitle() const
{
    return promptValueForSettingsKey("send_button_title", "EmberCrashSubmissionSendTitle", "Send");
}

std::string EMBSettings::interactivePromptAlwaysSendTitle() const
{
    return promptValueForSettingsKey(
        "always_send_button_title", "EmberCrashSubmissionAlwaysSendTitle", "Always Send");
}

std::string EMBSettings::promptValueForSettingsKey(
    const std::string& settingsKey, const std::string& localizedKey, const std::string& defaultValue) const
{
    std::string text = defaultValue;
    auto value = setting("prompt", settingsKey.c_str());
    if (value.string())
        text = *value.string();
    else if (!value.isNull())
        wrongSetting("prompt", settingsKey.c_str());
    return platform::foundation::Bundle::main()->localizedString(localizedKey, text, "Ember");
}

Value EMBSettings::setting(const char* section, const char* key) const
{
    if (!m_settingsDictionary)
        return {};
    auto group = m_settingsDictionary->get(section);
    if (group.isNull())
        return {};
    if (!group.dictionary()) {
        wrongSetting(section, key);
        return {};
    }
    return group.dictionary()->get(key);
}

bool EMBSettings::boolean(const char* section, const char* key, bool fallback) const
{
    auto value = setting(section, key);
    if (value.isNull())
        return fallback;
    // A service may write a flag as a number (1 or 0): any number other than zero reads as on.
    if (value.type() == Value::Type::Integer || value.type() == Value::Type::Real)
        return value.boolValue();
    if (!value.boolean()) {
        wrongSetting(section, key);
        return fallback;
    }
    return *value.boolean();
}

std::uint32_t EMBSettings::unsigned32(const char* section, const char* key, std::uint32_t fallback) const
{
    auto value = setting(section, key);
    if (value.isNull())
        return fallback;
    // A whole number written with a fraction part ("65536.0") counts as that number.
    auto number = value.type() == Value::Type::Bool ? std::nullopt : value.number();
    if (!number || *number < 0 || *number > std::numeric_limits<std::uint32_t>::max()
        || *number != std::floor(*number)) {
        wrongSetting(section, key);
        return fallback;
    }
    return static_cast<std::uint32_t>(*number);
}

}
