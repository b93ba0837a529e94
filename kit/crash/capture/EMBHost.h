#pragma once

#include <cstddef>
#include <string>

namespace kit {

struct EMBFile;

/// Stores, for the fault path, the page size and the application's caches directory (`cachesPath`; none
/// when empty). Called once while capture is set up.
void EMBHostInitialize(const std::string& cachesPath);

/// The page size stored at initialisation; the system's when not initialised; 4096 when it cannot be read.
std::size_t EMBHostGetPageSize();

/// The caches directory stored at initialisation, or none.
const char* EMBHostCachesPath();

/// Writes the "host" record: "model", "machine" (the kernel's machine name), "cpu" (the processor's brand
/// string), "os_build_version", "os_display_version", "platform" ("ios") and "locale". A fact that cannot
/// be read is written as "(failed)".
bool EMBHostRecord(EMBFile* file);

/// Writes `key` with `value`, or "(failed)" when there is none.
bool EMBHostWriteSysctlEntry(EMBFile* file, const char* key, const char* value);

/// Writes the "storage" record: "free" (bytes an unprivileged user may still take) and "total" of the file
/// system holding the caches directory; an empty object when it cannot be read. Safe at crash time.
bool EMBHostWriteDiskUsage(EMBFile* file);

/// The processor's brand string from cpuid into `buffer` (at least 49 bytes); false when cpuid has none.
bool EMBHostCPUBrand(char* buffer, std::size_t size);

}
