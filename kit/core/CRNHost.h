#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kit {

/// An OS version: three signed numbers.
struct CRNOSVersion {
    std::int64_t major { 0 };
    std::int64_t minor { 0 };
    std::int64_t patch { 0 };

    bool operator==(const CRNOSVersion&) const = default;
};

/// The device kinds the model text tells apart.
enum class CRNUserInterfaceIdiom { Unknown, Phone, Pad, Other };

/// What the host functions read of the system. By default the kernel's (uname): the release is the OS
/// version ("6.1.0-18-amd64"), the version the build ("#1 SMP PREEMPT_DYNAMIC Debian ..."); the idiom
/// cannot be asked on this host.
struct CRNHostSystem {
    std::string release;
    std::optional<std::string> build;
    CRNUserInterfaceIdiom idiom { CRNUserInterfaceIdiom::Unknown };
};

/// Makes the host functions read `system` instead of the kernel, or the kernel again for nullopt: for
/// tests, which pin the OS version they mean to check. Thread-safe.
void CRNHostPinSystem(std::optional<CRNHostSystem> system);

/// The OS version: the release split at "." into up to three numbers, each read from its leading digits;
/// missing parts are 0 ("6.1.0-18-amd64" is 6.1.0).
CRNOSVersion CRNHostGetOSVersion();

/// The major version × 10000 for majors from 4 up ("10.0" is 100000); 0 below 4. Minor and patch do not
/// count.
std::int64_t CRNHostGetNormalizedOSVersion();

/// The OS build, or nullopt when it cannot be read.
std::optional<std::string> CRNHostOSBuildVersion();

/// The OS version as "major.minor.patch".
std::string CRNHostOSDisplayVersion();

/// "iOS Simulator (iPhone)" for a phone or when the kind cannot be asked, "iOS Simulator (iPad)" for a pad,
/// "iOS Simulator (Unknown)" otherwise.
std::string CRNHostModelInfo();

}
