#pragma once

#include <string>
#include <string_view>

namespace platform::foundation {

/// The device's locale and time zone, as the formatters and calendars of this
/// layer take them by default. They start from the process environment (TZ,
/// and LC_ALL or LANG) and can be set, so that a test or the app pins them.
/// Thread-safe.
class DeviceEnvironment {
public:
    /// The device locale as an ICU identifier such as "en_GB"; "en_US_POSIX"
    /// when the environment names the C or POSIX locale or none.
    static std::string localeIdentifier();

    /// The device time zone as an Olson identifier such as "Europe/London".
    static std::string timeZoneIdentifier();

    /// Sets the device locale ("en-GB" and "en_GB" both work). Returns false,
    /// leaving the locale unchanged, for an empty or malformed identifier.
    static bool setLocaleIdentifier(std::string_view identifier);

    /// Sets the device time zone. Returns false, leaving it unchanged, for a
    /// zone the time zone database does not know.
    static bool setTimeZoneIdentifier(std::string_view identifier);

    /// Forgets any setting and reads the process environment again.
    static void resetToProcessEnvironment();

    /// The locale the process environment names (LC_ALL, then LANG).
    static std::string localeIdentifierFromProcessEnvironment();

    /// The time zone the process environment names (TZ), or the host's zone.
    static std::string timeZoneIdentifierFromProcessEnvironment();
};

/// Pins the device locale and time zone for the lifetime of the object and
/// restores the previous ones afterwards. Tests use one per case.
class ScopedDeviceEnvironment {
public:
    ScopedDeviceEnvironment(std::string_view localeIdentifier, std::string_view timeZoneIdentifier);
    ~ScopedDeviceEnvironment();
    ScopedDeviceEnvironment(const ScopedDeviceEnvironment&) = delete;
    ScopedDeviceEnvironment& operator=(const ScopedDeviceEnvironment&) = delete;

private:
    std::string m_previousLocale;
    std::string m_previousTimeZone;
};

}
