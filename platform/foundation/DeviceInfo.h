#pragma once

#include <string>

namespace platform::foundation {

/// What the app may read of the device it runs on, as the phone's platform tells it: names, the OS, the
/// hardware and the user's language and region (the advertising identifier is AdvertisingIdentifierManager's,
/// the vendor's the UI layer's Device). On this host they come from the kernel (uname, the host name) and
/// the device environment's locale. Thread-safe.
class DeviceInfo {
public:
    /// The name the user gave the device: the host name.
    static std::string name();
    /// The OS name ("Linux").
    static std::string systemName();
    /// The OS version: the kernel release ("6.1.0-18-amd64").
    static std::string systemVersion();
    /// The device model, "iPhone": the kind of device the app is made for.
    static std::string model();
    /// The model in the user's language; "iPhone" too.
    static std::string localizedModel();
    /// The hardware's machine name ("x86_64", "aarch64").
    static std::string machine();
    /// The user's first preferred language as a language tag ("en-GB"), from the device locale.
    static std::string preferredLanguage();
    /// The device locale's region code ("GB"); "US" for the POSIX locale.
    static std::string countryCode();
};

}
