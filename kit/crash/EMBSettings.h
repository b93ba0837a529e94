#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kit {

/// The crash kit's configuration: the kit settings the platform downloaded, and the local configuration (the
/// environment, then the "Ember" dictionary of the app's Info.plist, then this build's defaults).
class EMBSettings {
public:
    /// Settings over `settingsDictionary`, the downloaded kit settings (null before the first download).
    explicit EMBSettings(platform::foundation::DictionaryRef settingsDictionary = nullptr);

    /// The local value of `key`: the environment variable "Ember<key>" (logged as an override), else the
    /// Info.plist's "Ember" entry, else the default; null when none has one.
    platform::foundation::Value valueForConfigurationKey(const std::string& key) const;
    /// The Info.plist's "Ember" dictionary (never null).
    platform::foundation::DictionaryRef configuration() const;
    /// This build's defaults: the endpoints from ZORVIK_KIT_REPORTS_URL and ZORVIK_KIT_BETA_URL (environment,
    /// else the build settings), and the three flags on.
    static platform::foundation::DictionaryRef defaultConfiguration();

    std::string reportsEndpoint() const { return valueForConfigurationKey("ReportsEndpoint").stringValue(); }
    std::string betaEndpoint() const { return valueForConfigurationKey("BetaEndpoint").stringValue(); }
    bool shouldPackageReports() const { return valueForConfigurationKey("PackageReports").boolValue(); }
    bool shouldSubmitReports() const { return valueForConfigurationKey("SubmitReports").boolValue(); }
    bool canProcessUrgentReports() const { return valueForConfigurationKey("UrgentReports").boolValue(); }

    // Downloaded settings: a value that is missing, of the wrong type or out of range gives the default (the
    // latter two logged).
    bool crashReportingEnabled() const { return boolean("features", "collect_reports", true); }
    bool errorReportingEnabled() const { return boolean("features", "collect_logged_exceptions", true); }
    bool customExceptionsEnabled() const { return errorReportingEnabled(); }
    bool userPromptEnabled() const { return boolean("features", "prompt_enabled", false); }
    std::uint32_t logBufferSize() const { return unsigned32("session", "log_buffer_size", 65536); }
    std::uint32_t errorLogBufferSize() const { return logBufferSize(); }
    std::uint32_t maxCustomExceptions() const
    {
        return unsigned32("session", "max_custom_exception_events", 16);
    }
    std::uint32_t maxCustomKeys() const { return unsigned32("session", "max_custom_key_value_pairs", 16); }
    /// Seconds.
    double betaSuspendDuration() const;

    std::string interactivePromptTitle() const;
    std::string interactivePromptMessage() const;
    std::string interactivePromptCancelTitle() const;
    std::string interactivePromptSendTitle() const;
    std::string interactivePromptAlwaysSendTitle() const;

    /// A prompt text: the app's localisation table "Ember" under `localizedKey` wins, else the downloaded
    /// "prompt".`settingsKey`, else `defaultValue`.
    std::string promptValueForSettingsKey(const std::string& settingsKey, const std::string& localizedKey,
        const std::string& defaultValue) const;

private:
    platform::foundation::Value setting(const char* section, const char* key) const;
    bool boolean(const char* section, const char* key, bool fallback) const;
    std::uint32_t unsigned32(const char* section, const char* key, std::uint32_t fallback) const;

    platform::foundation::DictionaryRef m_settingsDictionary;
};

}
