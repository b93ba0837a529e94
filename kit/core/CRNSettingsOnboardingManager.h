#pragma once

#include "kit/core/CRNDownloadAndSaveSettingsOperation.h"
#include "kit/core/CRNOnboardingOperation.h"
#include "kit/core/CRNSettings.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace kit {

class CRNApplicationIdentiferModel;
class CRNNetworkClient;

/// Downloads the kit settings on every launch, registers the app with the kit service when they ask for it,
/// and tells the kits when settings are available.
///
/// A run: download; when the app is new, create its record and download again; when its record is out of
/// date, announce the settings and update the record; else announce them. At most one create or update per
/// run. The announcement is the notification kSettingsAvailableNotification (no sender, no user
/// information), posted on a thread of the session layer. A failed download announces nothing, except that
/// settings saved earlier in this run and not yet announced (a new app whose create failed) are announced
/// then, once. Errors are logged with the prefix "[Cairn]"; progress only in debug mode.
///
/// The endpoints come from valueForConfigurationKey(). Make it with std::make_shared; it ends its network
/// session when it goes away. Thread-safe.
class CRNSettingsOnboardingManager final : public CRNDownloadAndSaveSettingsOperationDelegate,
                                           public CRNOnboardingOperationDelegate,
                                           public std::enable_shared_from_this<CRNSettingsOnboardingManager> {
public:
    static constexpr const char* kSettingsAvailableNotification { "CRNSettingsAvailableNotification" };
    /// The configuration keys of the two endpoints.
    static constexpr const char* kSettingsEndpointKey { "SettingsEndpoint" };
    static constexpr const char* kAppConfigureEndpointKey { "ConfigureEndpoint" };

    /// A manager for the app `appIdentifierModel` describes (null: an app without instance identifier).
    explicit CRNSettingsOnboardingManager(
        std::shared_ptr<const CRNApplicationIdentiferModel> appIdentifierModel);
    ~CRNSettingsOnboardingManager() override;

    /// Keeps the key and the kit versions, then starts the run (see the class comment).
    void beginSettingsAndOnboardingOperationsWithAPIKey(std::string APIKey, CRNKitVersions kitVersions);

    /// The value of a configuration key: the environment variable of that name, else the key of the "Ember"
    /// dictionary of Info.plist, else this build's default (the build settings ZORVIK_KIT_SETTINGS_URL and
    /// ZORVIK_KIT_CONFIGURE_URL, which environment variables of those names override). Nullopt for
    /// another key that is nowhere set.
    static std::optional<std::string> valueForConfigurationKey(const std::string& key);

    /// Caches/io.cairn.sdk.ios.data/<bundle identifier>.
    static std::filesystem::path settingsDirectoryPath();
    /// settingsDirectoryPath()/settings.json.
    static std::filesystem::path settingsPath();
    /// The settings URL of this app on the settings endpoint.
    std::string settingsURL() const;

    /// The saved settings.
    const std::shared_ptr<CRNSettings>& settingsModel() const { return m_settingsModel; }
    const std::shared_ptr<const CRNApplicationIdentiferModel>& appIdentifierModel() const
    {
        return m_appIdentifierModel;
    }
    const std::shared_ptr<CRNNetworkClient>& networkClient() const { return m_networkClient; }
    /// Whether a create or update has been started in this run.
    bool hasAttemptedAppConfigure() const;
    /// Whether settings were downloaded in this run (else settingsModel() holds those of an earlier one, if
    /// any).
    bool hasDownloadedSettings() const;

    void operationDidDownloadAndSaveSettingsWithError(CRNDownloadAndSaveSettingsOperation& operation,
        const std::optional<platform::foundation::Error>& error) override;
    void onboardingOperationDidCompleteAppCreation(
        CRNOnboardingOperation& operation, const std::optional<platform::foundation::Error>& error) override;
    void onboardingOperationDidCompleteAppUpdate(
        CRNOnboardingOperation& operation, const std::optional<platform::foundation::Error>& error) override;

private:
    void beginSettingsDownload();
    void beginOnboarding(bool shouldCreate);
    /// Posts kSettingsAvailableNotification: the settings saved in this run are announced.
    void postSettingsDownloadCompletedNotification();
    /// Ends the run without settings to announce beyond those saved and not yet announced.
    void announcePendingSettings();
    void finishNetworkingSession();

    std::shared_ptr<const CRNApplicationIdentiferModel> m_appIdentifierModel;
    std::shared_ptr<CRNSettings> m_settingsModel;
    std::shared_ptr<CRNNetworkClient> m_networkClient;

    mutable std::mutex m_mutex;
    std::string m_APIKey;
    CRNKitVersions m_kitVersions;
    std::shared_ptr<CRNOnboardingOperation> m_onboardingOperation;
    bool m_hasAttemptedAppConfigure { false };
    // Settings were saved in this run and have not been announced.
    bool m_settingsPending { false };
    bool m_settingsDownloaded { false };
};

}
