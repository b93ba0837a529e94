#include "kit/core/CRNHost.h"

#include <sys/utsname.h>

#include <cctype>
#include <mutex>
#include <string_view>

namespace kit {

namespace {

struct PinnedSystem {
    std::mutex mutex;
    std::optional<CRNHostSystem> system;
};

PinnedSystem& pinned()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* shared = new PinnedSystem;
    return *shared;
}

CRNHostSystem currentSystem()
{
    auto& shared = pinned();
    {
        std::lock_guard lock(shared.mutex);
        if (shared.system)
            return *shared.system;
    }
    CRNHostSystem system;
    struct utsname names { };
    if (::uname(&names) == 0) {
        system.release = names.release;
        system.build = std::string(names.version);
    }
    return system;
}

std::int64_t leadingNumber(std::string_view text)
{
    std::int64_t number = 0;
    for (char character : text) {
        if (!std::isdigit(static_cast<unsigned char>(character)) || number > 100'000'000)
            break;
        number = number * 10 + (character - '0');
    }
    return number;
}

}

void CRNHostPinSystem(std::optional<CRNHostSystem> system)
{
    auto& shared = pinned();
    std::lock_guard lock(shared.mutex);
    shared.system = std::move(system);
}

CRNOSVersion CRNHostGetOSVersion()
{
    std::string release = currentSystem().release;
    std::int64_t parts[3] = {};
    std::string_view rest = release;
    for (auto& part : parts) {
        if (rest.empty())
            break;
        auto dot = rest.find('.');
        part = leadingNumber(rest.substr(0, dot));
        rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    }
    return { parts[0], parts[1], parts[2] };
}

std::int64_t CRNHostGetNormalizedOSVersion()
{
    std::int64_t major = CRNHostGetOSVersion().major;
    return major >= 4 ? major * 10000 : 0;
}

std::optional<std::string> CRNHostOSBuildVersion()
{
    return currentSystem().build;
}

std::string CRNHostOSDisplayVersion()
{
    auto version = CRNHostGetOSVersion();
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "."
        + std::to_string(version.patch);
}

std::string CRNHostModelInfo()
{
    switch (currentSystem().idiom) {
    case CRNUserInterfaceIdiom::Unknown:
    case CRNUserInterfaceIdiom::Phone:
        return "iOS Simulator (iPhone)";
    case CRNUserInterfaceIdiom::Pad:
        return "iOS Simulator (iPad)";
    case CRNUserInterfaceIdiom::Other:
        break;
    }
    return "iOS Simulator (Unknown)";
}

}
