#pragma once

#include <optional>
#include <string>

namespace conversion {

/// What the pings tell of the device and the app. One process-wide instance; its readings are taken at
/// each call. Thread-safe.
class ACTDevice {
public:
    /// The process's device, made on first use.
    static ACTDevice& currentDevice();

    /// True when the platform has its advertising-identifier manager.
    bool hasIDFA() const;
    /// The advertising identifier (upper-case UUID text), or nullopt, with a log line, when the manager
    /// is missing.
    std::optional<std::string> resettableDeviceID() const;
    /// True when the user limits ad tracking (the manager says tracking is off); false without a manager.
    bool limitsAdTracking() const;
    /// The system's version ("" when it cannot be read).
    std::string OSVersion() const;
    /// The app bundle's "CFBundleVersion", or "".
    std::string appVersion() const;
    /// The app bundle's identifier, or "".
    std::string bundleID() const;

private:
    ACTDevice() = default;
};

}
