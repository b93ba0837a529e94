#pragma once

#include "kit/core/CRNKitClass.h"
#include "kit/core/CRNOnboardingOperation.h"
#include "kit/core/Kit.h"

#include "platform/foundation/Value.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kit {

class CRNApplicationIdentiferModel;
class CRNSettingsOnboardingManager;

/// The kit platform: the process's one object through which the app starts its kits, and the identities
/// every kit shares.
///
/// Its identities are made on first use: the installation identifier comes from the kits' defaults store
/// (taken over from the app's standard defaults when only those hold it; made and stored when neither does,
/// which makes this the first install), the execution identifier is new, and the app's identity and settings
/// manager are made. with() then starts the platform once per process: it reads the API key from the "Cairn"
/// dictionary of Info.plist (raising CRNException when that is misconfigured; without a key it logs so and
/// starts nothing), turns the kits into kit classes (CRNException for one that is no kit), adds "Signet"
/// and, beside "Ember", "Tally" when they are registered, asks each kit in order to initialise itself, and
/// begins the settings download. Later calls only answer the platform. Thread-safe.
class Cairn {
public:
    /// The prefix of the platform's log lines.
    static constexpr const char* kLogPrefix { "[Cairn]" };
    /// The platform's identifier, version and build number, as its requests name them.
    static constexpr const char* kBundleID { "io.cairn.sdk.ios" };
    static constexpr const char* kVersion { "1.6.5" };
    static constexpr const char* kBuildNumber { "46" };
    /// The keys the platform reads in Info.plist.
    static constexpr const char* kInfoPlistConfigKey { "Cairn" };
    static constexpr const char* kConfigAPIKeyKey { "APIKey" };
    static constexpr const char* kConfigKitsKey { "Kits" };
    static constexpr const char* kConfigKitNameKey { "KitName" };
    static constexpr const char* kConfigKitInfoKey { "KitInfo" };
    static constexpr const char* kConfigObfuscatedKitInfoKey { "ObfuscatedKitInfo" };

    /// What with() takes: a kit object or a class.
    using KitOrClass = std::variant<std::shared_ptr<Kit>, std::shared_ptr<const CRNKitClass>>;

    /// The platform, made on first use.
    static Cairn& sharedSDK();

    /// Starts the platform with `kits` on the first call in the process (see the class comment) and answers
    /// the platform. Raises CRNException for a misconfigured Info.plist or something that is no kit.
    static Cairn& with(const std::vector<KitOrClass>& kits);

    Cairn(const Cairn&) = delete;
    Cairn& operator=(const Cairn&) = delete;
    ~Cairn();

    /// The API key: one set by setAPIKey(), else the "APIKey" of the "Cairn" dictionary of Info.plist, read
    /// once (CRNException when misconfigured). Nullopt, logged, for an empty key.
    std::optional<std::string> APIKey();
    /// Sets the API key for the start.
    void setAPIKey(std::string key);

    /// The "Cairn" dictionary of Info.plist, read and checked once; raises CRNException when Info.plist is
    /// empty or missing, when "Cairn" is no dictionary or its "APIKey" no string (a "Kits" given that is no
    /// array is only logged).
    platform::foundation::DictionaryRef cairnConfig();

    /// The configuration of the kit class named `kitName`: its first "Kits" entry's "ObfuscatedKitInfo",
    /// unpacked, with its "KitInfo" over it; null without an entry.
    platform::foundation::DictionaryRef configurationDictionaryForKitClass(const std::string& kitName);
    platform::foundation::DictionaryRef configurationDictionaryForKit(const Kit& kit);

    /// The kit classes of this launch in start order (empty until a start with an API key).
    std::vector<std::shared_ptr<const CRNKitClass>> kitClasses() const;
    /// Whether a start with an API key has run.
    bool isStarted() const;
    /// Each kit's bundle identifier and version in start order, then the platform's own.
    CRNKitVersions kitVersionsByKitBundleIdentifier() const;

    /// The installation identifier: an upper-case UUID with dashes, kept across launches.
    std::string installID() const;
    /// Whether this launch made the installation identifier.
    bool isFirstInstall() const;
    /// This launch's identifier: 32 lower-case hex digits.
    std::string executionIdentifier() const;
    /// The executable's instance identifier, or nullopt when it has none.
    std::optional<std::string> instanceIdentifier() const;
    /// The settings last downloaded, or null before the first download of the installation.
    platform::foundation::DictionaryRef settings() const;
    std::shared_ptr<const CRNApplicationIdentiferModel> applicationIdentifierModel() const;
    std::shared_ptr<CRNSettingsOnboardingManager> settingsAndOnboardingManager() const;

    /// Whether the platform runs in debug mode: progress is logged and the kit clients skip certificate
    /// pinning.
    bool debug() const;
    void setDebug(bool debug);

    /// The advertising token the analytics kit set ("" when none), sent with the settings download.
    std::string advertisingToken() const;
    void setAdvertisingToken(std::string token);

    /// Makes the platform anew, as a new process would (its downloads cancelled, the identities read
    /// again), so that with() starts again: for tests.
    void reset();

private:
    Cairn();

    /// Sets the identities and makes the app's identity and settings manager, unless done: on first use of
    /// any of them, so that a process that only asks for debug() touches no file.
    void initializeIfNeeded() const;
    void start(const std::vector<KitOrClass>& kits);
    /// The classes of `kits`, checked, with "Signet" and "Tally" added.
    static std::vector<std::shared_ptr<const CRNKitClass>> kitClassesFor(const std::vector<KitOrClass>& kits);
    static void validateCRNKitConformance(const CRNKitClass& kitClass);
    static void initializeKit(const CRNKitClass& kitClass);

    // Held through the whole start, so that concurrent callers see one start; recursive for a kit that
    // calls with() while it starts.
    std::recursive_mutex m_startMutex;
    bool m_startAttempted { false };

    mutable std::mutex m_initMutex;
    mutable std::mutex m_mutex;
    std::optional<std::string> m_APIKey;
    platform::foundation::DictionaryRef m_cairnConfig;
    std::vector<std::shared_ptr<const CRNKitClass>> m_kitClasses;
    bool m_started { false };
    bool m_debug { false };
    std::string m_advertisingToken;
    mutable std::string m_installID;
    mutable bool m_isFirstInstall { false };
    mutable std::string m_executionIdentifier;
    mutable std::shared_ptr<const CRNApplicationIdentiferModel> m_applicationIdentifierModel;
    mutable std::shared_ptr<CRNSettingsOnboardingManager> m_settingsAndOnboardingManager;
};

}
