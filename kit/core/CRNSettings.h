#pragma once

#include "kit/core/CRNApplication.h"

#include "platform/foundation/Value.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

namespace kit {

/// The kit settings this app last downloaded: the JSON object in "settings.json", read on first use and
/// kept until clearSettingsDictionary(), and the few values the platform itself reads from it. A file that
/// holds no JSON object is logged and deleted when read. Thread-safe.
class CRNSettings {
public:
    explicit CRNSettings(std::filesystem::path settingsPath);

    const std::filesystem::path& settingsPath() const { return m_settingsPath; }

    /// The settings (shared, not to be changed), or null when there is no usable file.
    platform::foundation::DictionaryRef settingsDictionary();
    /// Forgets the settings read, so that the next read loads the file again.
    void clearSettingsDictionary();

    /// The settings URL of this app on the service at `endpoint`:
    /// "<endpoint>/spi/v2/platforms/ios/apps/<bundle identifier>/settings" with the query "build_version",
    /// "display_version", "instance" (only with an instance identifier), "icon_hash" (only with an icon)
    /// and "source", in that order.
    static std::string settingsURLForEndpoint(const std::string& endpoint,
        const std::optional<std::string>& instanceIdentifier, const std::optional<std::string>& iconHash);

    /// The app's record on the service ("app"), or null.
    platform::foundation::DictionaryRef appSettings();
    /// "app"."status", or nullopt.
    std::optional<std::string> appStatus();
    /// Whether the service does not know the app yet (status "new").
    bool appNeedsOnboarding();
    /// Whether the app's record must be updated ("app"."update_required").
    bool appUpdateRequired();

    /// What the settings URL says of the app.
    static std::string appPlatform();
    static std::optional<std::string> appBundleIdentifier() { return CRNApplicationGetBundleIdentifier(); }
    static std::optional<std::string> appBuildVersion() { return CRNApplicationGetBundleVersion(); }
    static std::optional<std::string> appDisplayVersion() { return CRNApplicationGetShortBundleVersion(); }
    static CRNInstallSource appSource() { return CRNApplicationInstallationSource(); }

private:
    std::filesystem::path m_settingsPath;
    std::mutex m_mutex;
    platform::foundation::DictionaryRef m_settingsDictionary;
};

}
