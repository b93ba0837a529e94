#include "kit/core/CRNSettingsOnboardingManager.h"

#include "kit/core/CRNApplicationIdentiferModel.h"
#include "kit/core/CRNCertificate.h"
#include "kit/core/CRNNetworkClient.h"
#include "kit/core/Cairn.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

#include <cstdlib>

#ifndef ZORVIK_DEFAULT_KIT_SETTINGS_URL
#error "ZORVIK_DEFAULT_KIT_SETTINGS_URL must name the build's settings service"
#endif
#ifndef ZORVIK_DEFAULT_KIT_CONFIGURE_URL
#error "ZORVIK_DEFAULT_KIT_CONFIGURE_URL must name the build's kit API service"
#endif

namespace kit {

using platform::foundation::Error;

namespace {

void log(const std::string& message)
{
    platform::foundation::Log(Cairn::kLogPrefix).write(message);
}

void debugLog(const std::string& message)
{
    if (Cairn::sharedSDK().debug())
        log(message);
}

// The error as the log shows it: its domain, code and user information (a network error's status).
std::string describe(const Error& error)
{
    return "Error Domain=" + error.domain() + " Code=" + std::to_string(error.code())
        + " UserInfo=" + platform::foundation::toJson(error.userInfo());
}

std::optional<std::string> environment(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    return value && *value ? std::optional<std::string>(value) : std::nullopt;
}

}

CRNSettingsOnboardingManager::CRNSettingsOnboardingManager(
    std::shared_ptr<const CRNApplicationIdentiferModel> appIdentifierModel)
    : m_appIdentifierModel(std::move(appIdentifierModel))
    , m_settingsModel(std::make_shared<CRNSettings>(settingsPath()))
    , m_networkClient(CRNNetworkClient::create(nullptr, CRNBuiltinCertificates()))
{
}

CRNSettingsOnboardingManager::~CRNSettingsOnboardingManager()
{
    finishNetworkingSession();
}

std::optional<std::string> CRNSettingsOnboardingManager::valueForConfigurationKey(const std::string& key)
{
    if (auto value = environment(key))
        return value;
    auto configuration
        = platform::foundation::Bundle::main()->objectForInfoDictionaryKey("Ember").dictionary();
    auto configured = configuration ? configuration->get(key) : platform::foundation::Value();
    if (const auto* value = configured.string())
        return *value;
    if (key == kSettingsEndpointKey)
        return environment("ZORVIK_KIT_SETTINGS_URL").value_or(ZORVIK_DEFAULT_KIT_SETTINGS_URL);
    if (key == kAppConfigureEndpointKey)
        return environment("ZORVIK_KIT_CONFIGURE_URL").value_or(ZORVIK_DEFAULT_KIT_CONFIGURE_URL);
    return std::nullopt;
}

std::filesystem::path CRNSettingsOnboardingManager::settingsDirectoryPath()
{
    using platform::foundation::Files;
    auto caches = Files::cachesDirectory().value_or(Files::homeDirectory() / "Library" / "Caches");
    return caches / (std::string(Cairn::kBundleID) + ".data")
        / platform::foundation::Bundle::main()->bundleIdentifier().value_or("");
}

std::filesystem::path CRNSettingsOnboardingManager::settingsPath()
{
    return settingsDirectoryPath() / "settings.json";
}

std::string CRNSettingsOnboardingManager::settingsURL() const
{
    const auto* model = m_appIdentifierModel.get();
    std::optional<std::string> iconHash;
    if (model && model->icon() && !model->icon()->dataHash().empty())
        iconHash = model->icon()->dataHash();
    return CRNSettings::settingsURLForEndpoint(valueForConfigurationKey(kSettingsEndpointKey).value_or(""),
        model ? std::optional(model->instanceIdentifier()) : std::nullopt, iconHash);
}

bool CRNSettingsOnboardingManager::hasAttemptedAppConfigure() const
{
    std::lock_guard lock(m_mutex);
    return m_hasAttemptedAppConfigure;
}

bool CRNSettingsOnboardingManager::hasDownloadedSettings() const
{
    std::lock_guard lock(m_mutex);
    return m_settingsDownloaded;
}

void CRNSettingsOnboardingManager::beginSettingsAndOnboardingOperationsWithAPIKey(
    std::string APIKey, CRNKitVersions kitVersions)
{
    {
        std::lock_guard lock(m_mutex);
        m_APIKey = std::move(APIKey);
        m_kitVersions = std::move(kitVersions);
    }
    beginSettingsDownload();
}

void CRNSettingsOnboardingManager::beginSettingsDownload()
{
    std::string advertisingToken;
    if (CRNApplicationShouldReportDeviceIdentifiers())
        advertisingToken = Cairn::sharedSDK().advertisingToken();
    else
        debugLog("Suppressing device identifier reporting");
    std::string APIKey;
    {
        std::lock_guard lock(m_mutex);
        APIKey = m_APIKey;
    }
    auto operation = std::make_shared<CRNDownloadAndSaveSettingsOperation>(std::move(APIKey),
        weak_from_this(), settingsURL(), settingsDirectoryPath(), settingsPath(),
        m_appIdentifierModel ? m_appIdentifierModel->installID() : "", std::move(advertisingToken),
        m_networkClient);
    operation->start();
}

void CRNSettingsOnboardingManager::operationDidDownloadAndSaveSettingsWithError(
    CRNDownloadAndSaveSettingsOperation&, const std::optional<Error>& error)
{
    if (error) {
        log("failed to download settings " + describe(*error));
        announcePendingSettings();
        finishNetworkingSession();
        return;
    }
    debugLog("settings downloaded successfully");
    m_settingsModel->clearSettingsDictionary();
    bool attempted = false;
    {
        std::lock_guard lock(m_mutex);
        attempted = m_hasAttemptedAppConfigure;
        m_settingsPending = true;
        m_settingsDownloaded = true;
    }
    if (attempted) {
        debugLog("App already onboarded in this run of the app");
        postSettingsDownloadCompletedNotification();
        finishNetworkingSession();
    } else if (m_settingsModel->appNeedsOnboarding()) {
        debugLog("Starting onboarding with app create");
        beginOnboarding(true);
    } else {
        postSettingsDownloadCompletedNotification();
        if (m_settingsModel->appUpdateRequired()) {
            debugLog("Starting onboarding with app update");
            beginOnboarding(false);
        } else {
            finishNetworkingSession();
        }
    }
}

void CRNSettingsOnboardingManager::beginOnboarding(bool shouldCreate)
{
    auto endpoint = valueForConfigurationKey(kAppConfigureEndpointKey).value_or("");
    std::shared_ptr<CRNOnboardingOperation> running;
    std::shared_ptr<CRNOnboardingOperation> operation;
    {
        std::lock_guard lock(m_mutex);
        m_hasAttemptedAppConfigure = true;
        running = std::exchange(m_onboardingOperation, nullptr);
        operation = std::make_shared<CRNOnboardingOperation>(weak_from_this(), shouldCreate, m_APIKey,
            m_kitVersions, m_appIdentifierModel, std::move(endpoint), m_networkClient);
        m_onboardingOperation = operation;
    }
    if (running)
        running->cancel();
    operation->start();
}

void CRNSettingsOnboardingManager::onboardingOperationDidCompleteAppCreation(
    CRNOnboardingOperation&, const std::optional<Error>& error)
{
    if (error) {
        log("unable to complete application configure: " + describe(*error));
        announcePendingSettings();
        finishNetworkingSession();
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_onboardingOperation = nullptr;
    }
    debugLog("completed configure");
    beginSettingsDownload();
}

void CRNSettingsOnboardingManager::onboardingOperationDidCompleteAppUpdate(
    CRNOnboardingOperation&, const std::optional<Error>& error)
{
    finishNetworkingSession();
    if (error) {
        log("unable to complete application update: " + describe(*error));
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_onboardingOperation = nullptr;
    }
    debugLog("completed application update");
}

void CRNSettingsOnboardingManager::postSettingsDownloadCompletedNotification()
{
    {
        std::lock_guard lock(m_mutex);
        m_settingsPending = false;
    }
    debugLog("Settings are available for consumption");
    platform::foundation::NotificationCenter::defaultCenter().post(kSettingsAvailableNotification);
}

void CRNSettingsOnboardingManager::announcePendingSettings()
{
    bool pending = false;
    {
        std::lock_guard lock(m_mutex);
        pending = std::exchange(m_settingsPending, false);
    }
    if (pending)
        postSettingsDownloadCompletedNotification();
}

void CRNSettingsOnboardingManager::finishNetworkingSession()
{
    if (m_networkClient)
        m_networkClient->invalidateAndCancel();
}

}
