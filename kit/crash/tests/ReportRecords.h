#pragma once

#include "platform/foundation/ExecutableImage.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kit::testing {

/// A "load" record of an image as the image registry writes it.
std::string loadRecord(
    const std::string& path, const std::string& uuid, std::uint64_t base, std::uint64_t size);

/// A "load" record of `image` (loaded in this process), as a crashed process that had it at `base` would have
/// written it.
std::string loadRecord(const platform::foundation::ExecutableImage& image, std::uint64_t base);

/// `address` of `image` in this process, as it was in a crashed process that had the image at `base`.
std::uint64_t addressAt(
    const platform::foundation::ExecutableImage& image, std::uint64_t base, std::uint64_t address);

/// Writes `lines` to `file`, a line feed after each.
void writeLines(const std::filesystem::path& file, const std::vector<std::string>& lines);

}
