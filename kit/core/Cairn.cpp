#include "kit/core/Cairn.h"

#include "kit/core/CRNApplicationIdentiferModel.h"
#include "kit/core/CRNDataHelpers.h"
#include "kit/core/CRNException.h"
#include "kit/core/CRNKitRegistry.h"
#include "kit/core/CRNObfuscator.h"
#include "kit/core/CRNSettingsOnboardingManager.h"
#include "kit/core/EMBUserDefaults.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <cctype>

namespace kit {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

constexpr const char* kPlatformClassName { "Cairn" };

void log(const std::string& message)
{
    platform::foundation::Log(Cairn::kLogPrefix).write(message);
}

bool contains(const std::vector<std::shared_ptr<const CRNKitClass>>& classes, const std::string& name)
{
    return std::ranges::any_of(classes, [&](const auto& kitClass) { return kitClass->name() == name; });
}

std::string newExecutionIdentifier()
{
    auto identifier = CRNGenerateUUID();
    std::erase(identifier, '-');
    std::ranges::transform(identifier, identifier.begin(), [](unsigned char c) { return std::tolower(c); });
    return identifier;
}

}

Cairn& Cairn::sharedSDK()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* platform = new Cairn;
    return *platform;
}

Cairn::Cairn() = default;

Cairn::~Cairn() = default;

void Cairn::initializeIfNeeded() const
{
    std::lock_guard initLock(m_initMutex);
    {
        std::lock_guard lock(m_mutex);
        if (m_settingsAndOnboardingManager)
            return;
    }
    auto defaults = EMBUserDefaults::standardUserDefaults();
    auto stored
        = defaults->objectForKeyByMigratingFromNSUserDefaults(EMBUserDefaults::kInstallationIdentifierKey);
    bool firstInstall = !stored.string();
    std::string installID = firstInstall ? CRNGenerateUUID() : *stored.string();
    if (firstInstall) {
        defaults->setString(EMBUserDefaults::kInstallationIdentifierKey, installID);
        defaults->synchronize();
    }
    auto model = CRNApplicationIdentiferModel::initWithInstallID(installID);
    auto manager = std::make_shared<CRNSettingsOnboardingManager>(model);
    std::lock_guard lock(m_mutex);
    m_installID = std::move(installID);
    m_isFirstInstall = firstInstall;
    m_executionIdentifier = newExecutionIdentifier();
    m_applicationIdentifierModel = std::move(model);
    m_settingsAndOnboardingManager = std::move(manager);
}

Cairn& Cairn::with(const std::vector<KitOrClass>& kits)
{
    auto& platform = sharedSDK();
    platform.start(kits);
    return platform;
}

void Cairn::start(const std::vector<KitOrClass>& kits)
{
    std::lock_guard startLock(m_startMutex);
    if (m_startAttempted)
        return;
    m_startAttempted = true;
    auto key = APIKey();
    if (!key)
        return;
    auto classes = kitClassesFor(kits);
    auto manager = settingsAndOnboardingManager();
    {
        std::lock_guard lock(m_mutex);
        m_kitClasses = classes;
        m_started = true;
    }
    for (const auto& kitClass : classes)
        initializeKit(*kitClass);
    auto versions = kitVersionsByKitBundleIdentifier();
    if (debug()) {
        std::string text;
        for (const auto& [identifier, version] : versions)
            text += (text.empty() ? "" : ", ") + identifier + " = " + version;
        log("Initialized with kit versions: {" + text + "}");
    }
    manager->beginSettingsAndOnboardingOperationsWithAPIKey(*key, std::move(versions));
}

std::vector<std::shared_ptr<const CRNKitClass>> Cairn::kitClassesFor(const std::vector<KitOrClass>& kits)
{
    auto& registry = CRNKitRegistry::shared();
    std::vector<std::shared_ptr<const CRNKitClass>> classes;
    for (const auto& kit : kits) {
        auto kitClass = std::visit(
            [&](const auto& element) -> std::shared_ptr<const CRNKitClass> {
                using Element = std::decay_t<decltype(element)>;
                if constexpr (std::is_same_v<Element, std::shared_ptr<Kit>>)
                    return element ? registry.classOf(element) : nullptr;
                else
                    return element;
            },
            kit);
        if (kitClass)
            classes.push_back(std::move(kitClass));
    }
    for (const auto& kitClass : classes)
        validateCRNKitConformance(*kitClass);
    if (auto signet = registry.classNamed("Signet"); signet && !contains(classes, "Signet"))
        classes.push_back(signet);
    auto ember = registry.classNamed("Ember");
    auto tally = registry.classNamed("Tally");
    if (ember && tally && contains(classes, "Ember") && tally->conformsToKitProtocol()
        && !contains(classes, "Tally"))
        classes.push_back(tally);
    return classes;
}

void Cairn::validateCRNKitConformance(const CRNKitClass& kitClass)
{
    if (kitClass.conformsToKitProtocol())
        return;
    if (kitClass.respondsToSharedInstance()) {
        // The line names the platform itself, as its prefix.
        platform::foundation::Log().write(std::string("[") + kPlatformClassName
            + "] Please upgrade to the latest version of \"" + kitClass.name() + "\"");
        auto instance = kitClass.sharedInstance();
        if (instance && instance->start && instance->bundleIdentifier && instance->version)
            return;
    }
    throw CRNException(std::string("[") + kPlatformClassName + "] It appears that \"" + kitClass.name()
        + "\" is not a valid Cairn Kit. Please make sure you only pass Cairn Kits to [Cairn with:].");
}

void Cairn::initializeKit(const CRNKitClass& kitClass)
{
    if (kitClass.conformsToKitProtocol()) {
        kitClass.kit()->initializeIfNeeded();
        return;
    }
    if (auto instance = kitClass.sharedInstance(); instance && instance->start)
        instance->start();
}

CRNKitVersions Cairn::kitVersionsByKitBundleIdentifier() const
{
    CRNKitVersions versions;
    for (const auto& kitClass : kitClasses()) {
        if (const auto& kit = kitClass->kit()) {
            versions.emplace_back(kit->bundleIdentifier(), kit->kitDisplayVersion());
        } else if (auto instance = kitClass->sharedInstance();
                   instance && instance->bundleIdentifier && instance->version) {
            versions.emplace_back(instance->bundleIdentifier(), instance->version());
        }
    }
    versions.emplace_back(kBundleID, kVersion);
    return versions;
}

std::optional<std::string> Cairn::APIKey()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_APIKey)
            return m_APIKey->empty() ? std::nullopt : m_APIKey;
    }
    auto key = *cairnConfig()->get(kConfigAPIKeyKey).string();
    std::lock_guard lock(m_mutex);
    if (!m_APIKey)
        m_APIKey = key;
    if (m_APIKey->empty()) {
        log("Cairn API Key is nil! Cairn won't work unless there is a valid API Key setup in Info.plist");
        return std::nullopt;
    }
    return m_APIKey;
}

void Cairn::setAPIKey(std::string key)
{
    std::lock_guard lock(m_mutex);
    m_APIKey = std::move(key);
}

DictionaryRef Cairn::cairnConfig()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_cairnConfig)
            return m_cairnConfig;
    }
    const std::string name = kPlatformClassName;
    auto info = platform::foundation::Bundle::main()->infoDictionary();
    if (info->empty())
        throw CRNException("[" + name + "] Cannot find Info.plist.");
    auto config = info->get(kInfoPlistConfigKey).dictionary();
    if (!config) {
        throw CRNException(
            "[" + name + "] Value of Info.plist key \"" + kInfoPlistConfigKey + "\" must be a NSDictionary.");
    }
    if (auto kits = config->get(kConfigKitsKey); !kits.isNull() && !kits.array())
        log("[" + name + "] Value of Info.plist[" + name + "][" + kConfigKitsKey + "] should be a NSArray.");
    if (!config->get(kConfigAPIKeyKey).string()) {
        throw CRNException("[" + name + "] Value of Info.plist[" + name + "][" + kConfigAPIKeyKey
            + "] must contain your " + name + " API Key.");
    }
    std::lock_guard lock(m_mutex);
    m_cairnConfig = config->deepCopy();
    return m_cairnConfig;
}

DictionaryRef Cairn::configurationDictionaryForKitClass(const std::string& kitName)
{
    auto kits = cairnConfig()->get(kConfigKitsKey).array();
    if (!kits)
        return nullptr;
    for (const auto& entry : *kits) {
        auto kit = entry.dictionary();
        if (!kit || kit->get(kConfigKitNameKey) != Value(kitName))
            continue;
        auto configuration = Dictionary::make();
        auto obfuscated = kit->get(kConfigObfuscatedKitInfoKey);
        if (const auto* text = obfuscated.string()) {
            configuration = CRNObfuscator::dictionaryWithObfuscatedData(*text);
        } else if (const auto* bytes = obfuscated.bytes()) {
            configuration
                = CRNObfuscator::dictionaryWithObfuscatedData(std::string(bytes->begin(), bytes->end()));
        }
        if (auto info = kit->get(kConfigKitInfoKey).dictionary()) {
            for (const auto& [key, value] : info->entries())
                configuration->set(key, value);
        }
        return configuration;
    }
    return nullptr;
}

DictionaryRef Cairn::configurationDictionaryForKit(const Kit& kit)
{
    return configurationDictionaryForKitClass(kit.kitName());
}

std::vector<std::shared_ptr<const CRNKitClass>> Cairn::kitClasses() const
{
    std::lock_guard lock(m_mutex);
    return m_kitClasses;
}

bool Cairn::isStarted() const
{
    std::lock_guard lock(m_mutex);
    return m_started;
}

std::string Cairn::installID() const
{
    initializeIfNeeded();
    std::lock_guard lock(m_mutex);
    return m_installID;
}

bool Cairn::isFirstInstall() const
{
    initializeIfNeeded();
    std::lock_guard lock(m_mutex);
    return m_isFirstInstall;
}

std::string Cairn::executionIdentifier() const
{
    initializeIfNeeded();
    std::lock_guard lock(m_mutex);
    return m_executionIdentifier;
}

std::optional<std::string> Cairn::instanceIdentifier() const
{
    initializeIfNeeded();
    std::lock_guard lock(m_mutex);
    if (!m_applicationIdentifierModel)
        return std::nullopt;
    return m_applicationIdentifierModel->instanceIdentifier();
}

DictionaryRef Cairn::settings() const
{
    return settingsAndOnboardingManager()->settingsModel()->settingsDictionary();
}

std::shared_ptr<const CRNApplicationIdentiferModel> Cairn::applicationIdentifierModel() const
{
    initializeIfNeeded();
    std::lock_guard lock(m_mutex);
    return m_applicationIdentifierModel;
}

std::shared_ptr<CRNSettingsOnboardingManager> Cairn::settingsAndOnboardingManager() const
{
    initializeIfNeeded();
    std::lock_guard lock(m_mutex);
    return m_settingsAndOnboardingManager;
}

bool Cairn::debug() const
{
    std::lock_guard lock(m_mutex);
    return m_debug;
}

void Cairn::setDebug(bool debug)
{
    std::lock_guard lock(m_mutex);
    m_debug = debug;
}

std::string Cairn::advertisingToken() const
{
    std::lock_guard lock(m_mutex);
    return m_advertisingToken;
}

void Cairn::setAdvertisingToken(std::string token)
{
    std::lock_guard lock(m_mutex);
    m_advertisingToken = std::move(token);
}

void Cairn::reset()
{
    std::lock_guard startLock(m_startMutex);
    std::shared_ptr<CRNSettingsOnboardingManager> manager;
    {
        std::lock_guard lock(m_mutex);
        manager = std::move(m_settingsAndOnboardingManager);
        m_applicationIdentifierModel = nullptr;
        m_APIKey.reset();
        m_cairnConfig = nullptr;
        m_kitClasses.clear();
        m_started = false;
        m_debug = false;
        m_advertisingToken.clear();
    }
    m_startAttempted = false;
    // Its downloads end cancelled; the identities are made anew on next use.
    manager.reset();
}

}
