#include "conversion/ACTDevice.h"

#include "conversion/ACTLog.h"

#include "platform/foundation/Bundle.h"
#include "platform/outside/AdvertisingIdentifierManager.h"

#include <sys/utsname.h>

namespace conversion {

using platform::outside::AdvertisingIdentifierManager;

ACTDevice& ACTDevice::currentDevice()
{
    static ACTDevice device;
    return device;
}

bool ACTDevice::hasIDFA() const
{
    return AdvertisingIdentifierManager::sharedManager() != nullptr;
}

std::optional<std::string> ACTDevice::resettableDeviceID() const
{
    auto manager = AdvertisingIdentifierManager::sharedManager();
    auto identifier = manager ? manager->advertisingIdentifier() : std::string();
    if (identifier.empty()) {
        ACTLog::logPublicMessage("not sending ping. Unexpected error getting the advertisingIdentifier.");
        return std::nullopt;
    }
    return identifier;
}

bool ACTDevice::limitsAdTracking() const
{
    auto manager = AdvertisingIdentifierManager::sharedManager();
    return manager && !manager->isAdvertisingTrackingEnabled();
}

std::string ACTDevice::OSVersion() const
{
    utsname system {};
    return ::uname(&system) == 0 ? std::string(system.release) : std::string();
}

std::string ACTDevice::appVersion() const
{
    auto version = platform::foundation::Bundle::main()->objectForInfoDictionaryKey("CFBundleVersion");
    return version.string() ? *version.string() : std::string();
}

std::string ACTDevice::bundleID() const
{
    return platform::foundation::Bundle::main()->bundleIdentifier().value_or("");
}

}
