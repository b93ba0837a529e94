#pragma once

#include "platform/foundation/AdvertisingIdentifierManager.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kit {

/// The metadata of this launch's analytics session, which opens every event log file: the app, the device,
/// the installation and the session, as a dictionary and as its compact JSON. Made once when analytics
/// starts, after the kit platform has started; making it also hands the advertising identifier to the
/// platform, which sends it with its settings download. Fixed after creation; thread-safe to read.
class EMBAnalyticsMetadataController {
public:
    /// The metadata of a session that started at `timeStamp` (milliseconds since 1970), with the beta token
    /// `betaToken` given at the analytics start (none in this program).
    EMBAnalyticsMetadataController(std::uint64_t timeStamp, const std::optional<std::string>& betaToken);

    /// A copy of the metadata.
    platform::foundation::DictionaryRef metadata() const;
    /// The metadata as compact JSON.
    const platform::foundation::Bytes& metadataJSONData() const { return m_metadataJSONData; }

    /// The metadata of a session that started at `timeStamp` with `betaToken`, carrying `adToken` as its
    /// advertising identifier (left out when none).
    static platform::foundation::DictionaryRef metadataWithTimeStamp(std::uint64_t timeStamp,
        const std::optional<std::string>& betaToken, const std::optional<std::string>& adToken);

    /// What a beta token "2:<token>" wraps; nullopt for none or any other form.
    static std::optional<std::string> unwrapBetaToken(const std::optional<std::string>& betaToken);

    /// The phone's advertising-identifier service, or null when it offers none.
    static std::shared_ptr<platform::foundation::AdvertisingIdentifierManager> ASManager();
    /// Whether the phone offers the advertising-identifier service.
    static bool advertisingSupportFrameworkLinked();
    /// Whether the user allows advertising tracking; false without the service.
    static bool trackingForAdvertisingEnabled();
    /// The advertising identifier, only while the user allows advertising tracking; nullopt otherwise.
    static std::optional<std::string> identifierForAdvertising();

private:
    static std::string hostModel();
    static std::string hostMachine();
    static std::string hostLocale();
    /// The OS's build.
    static std::optional<std::string> hostOSVersion();
    /// The OS's version as people read it ("6.1.0").
    static std::string hostOSVersionName();
    static std::int64_t hostNumCores();
    static std::string hostPlatform() { return "iOS"; }
    static std::int64_t hostPlatformCode() { return 2; }
    static bool hostJailbroken() { return false; }
    static std::optional<std::string> hostVendorId();
    static std::optional<std::string> APIKey();
    static std::optional<std::string> instanceIdentifier();
    static std::string installationId();
    static std::string sessionIdentifier();
    static std::optional<std::string> bundleIdentifier();
    static std::optional<std::string> bundleVersion();
    static std::optional<std::string> bundleShortVersion();

    platform::foundation::DictionaryRef m_metadata;
    platform::foundation::Bytes m_metadataJSONData;
};

}
