#include "platform/foundation/DeviceInfo.h"

#include "platform/foundation/DeviceEnvironment.h"

#include <sys/utsname.h>
#include <unistd.h>

namespace platform::foundation {

namespace {

utsname kernel()
{
    utsname names {};
    uname(&names);
    return names;
}

// The device locale as language and region: "en_GB" gives ("en", "GB"); the POSIX locale is "en_US".
std::pair<std::string, std::string> localeParts()
{
    auto identifier = DeviceEnvironment::localeIdentifier();
    if (identifier == "en_US_POSIX")
        return { "en", "US" };
    auto separator = identifier.find_first_of("_-");
    if (separator == std::string::npos)
        return { identifier, "" };
    auto region = identifier.substr(separator + 1);
    region = region.substr(0, region.find_first_of("_-@"));
    return { identifier.substr(0, separator), region };
}

}

std::string DeviceInfo::name()
{
    char host[256] {};
    if (gethostname(host, sizeof host - 1) != 0)
        return "";
    return host;
}

std::string DeviceInfo::systemName()
{
    return kernel().sysname;
}

std::string DeviceInfo::systemVersion()
{
    return kernel().release;
}

std::string DeviceInfo::model()
{
    return "iPhone";
}

std::string DeviceInfo::localizedModel()
{
    return "iPhone";
}

std::string DeviceInfo::machine()
{
    return kernel().machine;
}

std::string DeviceInfo::preferredLanguage()
{
    auto [language, region] = localeParts();
    return region.empty() ? language : language + "-" + region;
}

std::string DeviceInfo::countryCode()
{
    return localeParts().second;
}

}
