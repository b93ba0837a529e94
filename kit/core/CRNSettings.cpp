#include "kit/core/CRNSettings.h"

#include "kit/core/CRNOnboardingOperation.h"
#include "kit/core/CRNURLBuilder.h"
#include "kit/core/Cairn.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"

#include <system_error>

namespace kit {

using platform::foundation::DictionaryRef;
using platform::foundation::Value;

CRNSettings::CRNSettings(std::filesystem::path settingsPath)
    : m_settingsPath(std::move(settingsPath))
{
}

DictionaryRef CRNSettings::settingsDictionary()
{
    std::lock_guard lock(m_mutex);
    if (m_settingsDictionary)
        return m_settingsDictionary;
    std::error_code error;
    if (!std::filesystem::exists(m_settingsPath, error))
        return nullptr;
    auto text = platform::foundation::Files::readText(m_settingsPath);
    auto parsed = text ? platform::foundation::parseJson(*text) : platform::foundation::JsonResult {};
    if (!text)
        parsed.error = "the file cannot be read as text";
    else if (parsed.ok() && !parsed.value.dictionary())
        parsed.error = "the settings are not a JSON object";
    if (!parsed.ok()) {
        platform::foundation::Log(Cairn::kLogPrefix)
            .write("Could not load settings with error: " + parsed.error);
        std::filesystem::remove(m_settingsPath, error);
        return nullptr;
    }
    m_settingsDictionary = parsed.value.dictionary();
    return m_settingsDictionary;
}

void CRNSettings::clearSettingsDictionary()
{
    std::lock_guard lock(m_mutex);
    m_settingsDictionary = nullptr;
}

std::string CRNSettings::settingsURLForEndpoint(const std::string& endpoint,
    const std::optional<std::string>& instanceIdentifier, const std::optional<std::string>& iconHash)
{
    auto builder = CRNURLBuilder::URLWithBase(endpoint);
    builder.appendComponent("/spi/v2/platforms/");
    builder.escapeAndAppendComponent(appPlatform());
    builder.appendComponent("/apps/");
    builder.escapeAndAppendComponent(appBundleIdentifier().value_or(""));
    builder.appendComponent("/settings");
    auto orNull = [](const std::optional<std::string>& text) { return text ? Value(*text) : Value(); };
    builder.appendValue(orNull(appBuildVersion()), "build_version");
    builder.appendValue(orNull(appDisplayVersion()), "display_version");
    builder.appendValue(orNull(instanceIdentifier), "instance");
    builder.appendValue(orNull(iconHash), "icon_hash");
    builder.appendValue(static_cast<int>(appSource()), "source");
    return builder.URLString();
}

DictionaryRef CRNSettings::appSettings()
{
    auto settings = settingsDictionary();
    return settings ? settings->get("app").dictionary() : nullptr;
}

std::optional<std::string> CRNSettings::appStatus()
{
    auto app = appSettings();
    auto status = app ? app->get("status") : Value();
    return status.string() ? std::optional<std::string>(*status.string()) : std::nullopt;
}

bool CRNSettings::appNeedsOnboarding()
{
    return appStatus() == "new";
}

bool CRNSettings::appUpdateRequired()
{
    auto app = appSettings();
    return app && app->get("update_required").boolValue();
}

std::string CRNSettings::appPlatform()
{
    return CRNOnboardingOperation::kPlatformName;
}

}
