#include "conversion/ACTDevice.h"

#include "conversion/ACTLog.h"

#include "platform/foundation/AdvertisingIdentifierManager.h"
#include "platform/foundation/Bundle.h"

#include <sys/utsname.h>

namespace conversion {

using platform::foundation::AdvertisingIdentifierManager;

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
    if (!manager) {
        ACTLog::logPublicMessage("not sending ping. Unexpected error getting the advertisingIdentifier.");
        return std::nullopt;
    }
    return manager->advertisingIdentifier().string();
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
