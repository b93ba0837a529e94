// The install's identity, counters and dates, kept in the standard defaults.
#include "attribution/WayfinderTracker.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Regex.h"

#include <cstdio>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>

namespace attribution {

using platform::foundation::Defaults;

namespace {

constexpr const char* kUserIdKey { "WayfinderUserId" };
constexpr const char* kCounterKey { "WayfinderCounter" };
constexpr const char* kRealLaunchCounterKey { "WayfinderRealLaunchCounter" };
constexpr const char* kInAppCounterKey { "WayfinderInAppCounter" };
constexpr const char* kTimePassedKey { "WayfinderTimePassedSincePrevLaunch" };
constexpr const char* kInstallDateKey { "WayfinderInstallDate" };
constexpr const char* kFirstLaunchDateKey { "WayfinderFirstLaunchDate" };
constexpr const char* kLastVersionKey { "WayfinderLastVersion" };
constexpr const char* kDate3Key { "WayfinderDate3" };
constexpr const char* kConversionRetriesKey { "WayfinderConversionDataRequestRetries" };

// When `path` was made (its birth time where the file system keeps one, else its last change).
platform::foundation::Date creationDate(const std::filesystem::path& path)
{
    struct statx status { };
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &status) != 0)
        return platform::foundation::now();
    auto stamp = (status.stx_mask & STATX_BTIME) ? status.stx_btime : status.stx_mtime;
    return { static_cast<double>(stamp.tv_sec) + stamp.tv_nsec / 1e9 };
}

// The offset of the device time zone from GMT at `date`, in seconds.
double timeZoneOffset(platform::foundation::Date date)
{
    platform::foundation::DateFormatter offset("ZZZZZ");
    auto text = offset.format(date);
    int hours = 0;
    int minutes = 0;
    if (text == "Z" || std::sscanf(text.c_str() + 1, "%d:%d", &hours, &minutes) != 2)
        return 0;
    double seconds = hours * 3600.0 + minutes * 60.0;
    return text.front() == '-' ? -seconds : seconds;
}

}

std::string WayfinderTracker::getWayfinderUID()
{
    std::lock_guard lock(m_identityMutex);
    auto defaults = Defaults::standard();
    if (auto stored = defaults->string(kUserIdKey); stored && !stored->empty())
        return *stored;
    auto installed = installDate();
    double local = installed.secondsSince1970 + timeZoneOffset(installed);
    char milliseconds[64];
    std::snprintf(milliseconds, sizeof milliseconds, "%0.0f", local * 1000);
    std::random_device source;
    std::uniform_int_distribution<int> draw(1, 9999999);
    auto identifier = std::string(milliseconds) + "-" + std::to_string(draw(source));
    defaults->setValue(kUserIdKey, identifier);
    return identifier;
}

platform::foundation::Date WayfinderTracker::installDate() const
{
    auto library = platform::foundation::Files::homeDirectory() / "Library";
    platform::foundation::Files::createDirectories(library);
    return creationDate(library);
}

std::string WayfinderTracker::getDevicePaltform()
{
    auto machine = platform::foundation::DeviceInfo::machine();
    std::replace(machine.begin(), machine.end(), ',', ';');
    return machine;
}

void WayfinderTracker::validateAppID() const
{
    auto appID = appleAppID();
    platform::foundation::Log log;
    if (appID.empty()) {
        log.write("Wayfinder Error: appleAppID is missing!");
        return;
    }
    if (!platform::foundation::Regex("[0-9]+").matchesEntirely(appID)) {
        log.write("Wayfinder Error: appleAppID should be a number!");
        log.write("appleAppID: '" + appID + "'");
    }
}

std::int32_t WayfinderTracker::getCounter(bool increase)
{
    debugLog(__func__, "increase=" + std::to_string(increase));
    auto defaults = Defaults::standard();
    auto stored = defaults->value(kCounterKey);
    auto counter = static_cast<std::int32_t>(defaults->integer(kCounterKey));
    if (stored.isNull())
        debugLog(__func__, "1st lanunch");
    else
        debugLog(__func__, "lanunch number " + std::to_string(counter));
    if (increase) {
        ++counter;
        defaults->setValue(kCounterKey, counter);
        debugLog(__func__, "save counter " + std::to_string(counter));
    }
    return counter;
}

std::int32_t WayfinderTracker::getRealLaunchCounter()
{
    auto defaults = Defaults::standard();
    auto counter = static_cast<std::int32_t>(defaults->integer(kRealLaunchCounterKey));
    if (!defaults->value(kRealLaunchCounterKey).isNull())
        debugLog(__func__, "getRealLaunchCounter real lanunch number " + std::to_string(counter));
    return counter + 1;
}

void WayfinderTracker::incrementRealLaunchCounter()
{
    std::lock_guard lock(m_identityMutex);
    auto defaults = Defaults::standard();
    auto counter = static_cast<std::int32_t>(defaults->integer(kRealLaunchCounterKey)) + 1;
    defaults->setValue(kRealLaunchCounterKey, counter);
    debugLog(__func__,
        "incrementRealLaunchCounter real lanunch counter after increment = " + std::to_string(counter));
}

std::int32_t WayfinderTracker::getInAppCounter(bool increase)
{
    debugLog(__func__, "increase=" + std::to_string(increase));
    auto defaults = Defaults::standard();
    auto counter = static_cast<std::int32_t>(defaults->integer(kInAppCounterKey));
    if (defaults->value(kInAppCounterKey).isNull())
        debugLog(__func__, "no in-app yet");
    else
        debugLog(__func__, "in-app counter " + std::to_string(counter));
    if (increase) {
        ++counter;
        defaults->setValue(kInAppCounterKey, counter);
    }
    debugLog(__func__, "save in-app counter " + std::to_string(counter));
    return counter;
}

double WayfinderTracker::getTimePassedSinceLastLaunch()
{
    auto defaults = Defaults::standard();
    double previous = defaults->real(kTimePassedKey);
    double now = platform::foundation::now().secondsSince1970;
    defaults->setValue(kTimePassedKey, now);
    return previous > 0 ? now - previous : -1;
}

std::string WayfinderTracker::getInstallDate(const platform::foundation::DateFormatter& formatter)
{
    auto defaults = Defaults::standard();
    if (auto stored = defaults->string(kInstallDateKey))
        return *stored;
    debugLog(__func__, "first installDate detected");
    auto date = formatter.format(installDate());
    defaults->setValue(kInstallDateKey, date);
    return date;
}

std::string WayfinderTracker::getFirstLanuchDate(const platform::foundation::DateFormatter& formatter)
{
    auto defaults = Defaults::standard();
    if (auto stored = defaults->string(kFirstLaunchDateKey))
        return *stored;
    std::string date;
    if (getCounter(false) <= 1) {
        debugLog(__func__, "first launch detected");
        date = formatter.format(platform::foundation::now());
    }
    defaults->setValue(kFirstLaunchDateKey, date);
    debugLog(__func__, "first launch date: " + date);
    return date;
}

std::string WayfinderTracker::getVersionUpdateDate(
    const std::string& version, const std::string& currentUpdateDate)
{
    auto defaults = Defaults::standard();
    auto saved = defaults->string(kLastVersionKey);
    debugLog(__func__, "saved version: " + saved.value_or("(null)"));
    if (saved == version) {
        debugLog(__func__, "use date3 from storage");
        return defaults->string(kDate3Key).value_or("");
    }
    debugLog(__func__, "new version detected");
    defaults->setValue(kLastVersionKey, version);
    defaults->setValue(kDate3Key, currentUpdateDate);
    {
        std::lock_guard lock(m_refusalsMutex);
        defaults->remove(kConversionRetriesKey);
    }
    return currentUpdateDate;
}

}
