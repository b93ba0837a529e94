#include "kit/analytics/EMBAnalyticsMetadataController.h"

#include "kit/analytics/Tally.h"
#include "kit/core/CRNApplication.h"
#include "kit/core/CRNHost.h"
#include "kit/core/Cairn.h"

#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Device.h"

#include <unistd.h>

namespace kit {
namespace {

using platform::foundation::Value;

Value valueOrNull(const std::optional<std::string>& text)
{
    return text ? Value(*text) : Value();
}

}

EMBAnalyticsMetadataController::EMBAnalyticsMetadataController(
    std::uint64_t timeStamp, const std::optional<std::string>& betaToken)
{
    auto adToken = identifierForAdvertising();
    Cairn::sharedSDK().setAdvertisingToken(adToken.value_or(""));
    m_metadata = metadataWithTimeStamp(timeStamp, betaToken, adToken);
    auto json = platform::foundation::toJson(Value(m_metadata));
    m_metadataJSONData.assign(json.begin(), json.end());
}

platform::foundation::DictionaryRef EMBAnalyticsMetadataController::metadata() const
{
    return m_metadata->shallowCopy();
}

platform::foundation::DictionaryRef EMBAnalyticsMetadataController::metadataWithTimeStamp(
    std::uint64_t timeStamp, const std::optional<std::string>& betaToken,
    const std::optional<std::string>& adToken)
{
    // Storing null leaves a key out, so a value the app or the device does not have is simply absent.
    auto metadata = platform::foundation::Dictionary::make();
    metadata->set("generator", std::string("Tally iOS SDK/") + Tally::kDisplayVersion);
    metadata->set("links_ad_support", advertisingSupportFrameworkLinked());
    metadata->set("advertising_tracking_enabled", trackingForAdvertisingEnabled());
    metadata->set("advertising_id", valueOrNull(adToken));
    metadata->set("api_key", valueOrNull(APIKey()));
    metadata->set("session_id", sessionIdentifier());
    metadata->set("started_at", static_cast<std::int64_t>(timeStamp / 1000));
    metadata->set("vendor_id", valueOrNull(hostVendorId()));
    metadata->set("install_id", installationId());
    metadata->set("beta_tester_token", valueOrNull(unwrapBetaToken(betaToken)));
    metadata->set("model", hostModel());
    metadata->set("machine", hostMachine());
    metadata->set("locale", hostLocale());
    metadata->set("os_build", valueOrNull(hostOSVersion()));
    metadata->set("os_version", hostOSVersionName());
    metadata->set("platform", hostPlatform());
    metadata->set("platform_code", hostPlatformCode());
    metadata->set("cores", hostNumCores());
    metadata->set("jailbroken", hostJailbroken());
    metadata->set("bundle_id", valueOrNull(bundleIdentifier()));
    metadata->set("bundle_version", valueOrNull(bundleVersion()));
    metadata->set("bundle_short_version", valueOrNull(bundleShortVersion()));
    metadata->set("instance_id", valueOrNull(instanceIdentifier()));
    return metadata;
}

std::optional<std::string> EMBAnalyticsMetadataController::unwrapBetaToken(
    const std::optional<std::string>& betaToken)
{
    if (!betaToken)
        return std::nullopt;
    auto separator = betaToken->find(':');
    if (separator == std::string::npos || betaToken->find(':', separator + 1) != std::string::npos)
        return std::nullopt;
    if (betaToken->compare(0, separator, "2") != 0)
        return std::nullopt;
    return betaToken->substr(separator + 1);
}

std::shared_ptr<platform::foundation::AdvertisingIdentifierManager>
EMBAnalyticsMetadataController::ASManager()
{
    return platform::foundation::AdvertisingIdentifierManager::sharedManager();
}

bool EMBAnalyticsMetadataController::advertisingSupportFrameworkLinked()
{
    return ASManager() != nullptr;
}

bool EMBAnalyticsMetadataController::trackingForAdvertisingEnabled()
{
    auto manager = ASManager();
    return manager && manager->isAdvertisingTrackingEnabled();
}

std::optional<std::string> EMBAnalyticsMetadataController::identifierForAdvertising()
{
    // A user who does not allow advertising tracking is not identified by it at all.
    auto manager = ASManager();
    if (!manager || !manager->isAdvertisingTrackingEnabled())
        return std::nullopt;
    return manager->advertisingIdentifier().string();
}

std::string EMBAnalyticsMetadataController::hostModel()
{
    return CRNHostModelInfo();
}

std::string EMBAnalyticsMetadataController::hostMachine()
{
    return CRNHostModelInfo();
}

std::string EMBAnalyticsMetadataController::hostLocale()
{
    return platform::foundation::DeviceEnvironment::localeIdentifier();
}

std::optional<std::string> EMBAnalyticsMetadataController::hostOSVersion()
{
    return CRNHostOSBuildVersion();
}

std::string EMBAnalyticsMetadataController::hostOSVersionName()
{
    return CRNHostOSDisplayVersion();
}

std::int64_t EMBAnalyticsMetadataController::hostNumCores()
{
    return ::sysconf(_SC_NPROCESSORS_CONF);
}

std::optional<std::string> EMBAnalyticsMetadataController::hostVendorId()
{
    auto identifier = platform::ui::Device::current().identifierForVendor();
    return identifier ? std::optional(identifier->string()) : std::nullopt;
}

std::optional<std::string> EMBAnalyticsMetadataController::APIKey()
{
    return Cairn::sharedSDK().APIKey();
}

std::optional<std::string> EMBAnalyticsMetadataController::instanceIdentifier()
{
    return Cairn::sharedSDK().instanceIdentifier();
}

std::string EMBAnalyticsMetadataController::installationId()
{
    return Cairn::sharedSDK().installID();
}

std::string EMBAnalyticsMetadataController::sessionIdentifier()
{
    return Cairn::sharedSDK().executionIdentifier();
}

std::optional<std::string> EMBAnalyticsMetadataController::bundleIdentifier()
{
    return CRNApplicationGetBundleIdentifier();
}

std::optional<std::string> EMBAnalyticsMetadataController::bundleVersion()
{
    return CRNApplicationGetBundleVersion();
}

std::optional<std::string> EMBAnalyticsMetadataController::bundleShortVersion()
{
    return CRNApplicationGetShortBundleVersion();
}

}
