#include "platform/foundation/DeviceEnvironment.h"

#include "platform/foundation/Assertion.h"
#include "platform/foundation/IcuText.h"

#include <unicode/timezone.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>

namespace platform::foundation {

namespace {

constexpr std::string_view posixLocale = "en_US_POSIX";

struct Settings {
    std::mutex mutex;
    std::optional<std::string> locale;
    std::optional<std::string> timeZone;
};

Settings& settings()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* shared = new Settings;
    return *shared;
}

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// "en-GB", "en_GB.UTF-8" and "de_DE@euro" become "en_GB" and "de_DE"; an
// identifier ICU cannot read gives nullopt.
std::optional<std::string> canonicalLocale(std::string_view identifier)
{
    std::string name(identifier.substr(0, identifier.find_first_of(".@")));
    if (name == "C" || name == "POSIX")
        return std::string(posixLocale);
    if (name.empty()
        || name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-")
            != std::string::npos)
        return std::nullopt;
    icu::Locale locale = icutext::locale(name);
    if (locale.isBogus() || std::string_view(locale.getLanguage()).empty())
        return std::nullopt;
    return std::string(locale.getName());
}

std::optional<std::string> knownTimeZone(std::string_view identifier)
{
    if (identifier.starts_with(':'))
        identifier.remove_prefix(1);
    if (identifier.empty())
        return std::nullopt;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(icutext::fromUtf8(identifier)));
    icu::UnicodeString id;
    zone->getID(id);
    if (id == icu::UnicodeString(UCAL_UNKNOWN_ZONE_ID))
        return std::nullopt;
    return icutext::toUtf8(id);
}

}

std::string DeviceEnvironment::localeIdentifierFromProcessEnvironment()
{
    for (const char* name : { "LC_ALL", "LANG" }) {
        std::string value = environmentValue(name);
        if (value.empty())
            continue;
        return canonicalLocale(value).value_or(std::string(posixLocale));
    }
    return std::string(posixLocale);
}

std::string DeviceEnvironment::timeZoneIdentifierFromProcessEnvironment()
{
    if (auto zone = knownTimeZone(environmentValue("TZ")))
        return *zone;
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    host->getID(id);
    return knownTimeZone(icutext::toUtf8(id)).value_or("UTC");
}

std::string DeviceEnvironment::localeIdentifier()
{
    auto& shared = settings();
    std::lock_guard lock(shared.mutex);
    if (!shared.locale)
        shared.locale = localeIdentifierFromProcessEnvironment();
    return *shared.locale;
}

std::string DeviceEnvironment::timeZoneIdentifier()
{
    auto& shared = settings();
    std::lock_guard lock(shared.mutex);
    if (!shared.timeZone)
        shared.timeZone = timeZoneIdentifierFromProcessEnvironment();
    return *shared.timeZone;
}

bool DeviceEnvironment::setLocaleIdentifier(std::string_view identifier)
{
    auto locale = canonicalLocale(identifier);
    if (!locale)
        return false;
    auto& shared = settings();
    std::lock_guard lock(shared.mutex);
    shared.locale = std::move(locale);
    return true;
}

bool DeviceEnvironment::setTimeZoneIdentifier(std::string_view identifier)
{
    auto zone = knownTimeZone(identifier);
    if (!zone)
        return false;
    auto& shared = settings();
    std::lock_guard lock(shared.mutex);
    shared.timeZone = std::move(zone);
    return true;
}

void DeviceEnvironment::resetToProcessEnvironment()
{
    auto& shared = settings();
    std::lock_guard lock(shared.mutex);
    shared.locale.reset();
    shared.timeZone.reset();
}

ScopedDeviceEnvironment::ScopedDeviceEnvironment(
    std::string_view localeIdentifier, std::string_view timeZoneIdentifier)
    : m_previousLocale(DeviceEnvironment::localeIdentifier())
    , m_previousTimeZone(DeviceEnvironment::timeZoneIdentifier())
{
    precondition(DeviceEnvironment::setLocaleIdentifier(localeIdentifier), "unknown locale for the device");
    precondition(
        DeviceEnvironment::setTimeZoneIdentifier(timeZoneIdentifier), "unknown time zone for the device");
}

ScopedDeviceEnvironment::~ScopedDeviceEnvironment()
{
    DeviceEnvironment::setLocaleIdentifier(m_previousLocale);
    DeviceEnvironment::setTimeZoneIdentifier(m_previousTimeZone);
}

}
