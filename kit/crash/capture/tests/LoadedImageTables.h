#pragma once

#include "kit/crash/capture/EMBDwarfUnwind.h"

#include <cstdint>
#include <string>

namespace kit::testing {

/// A loaded object's unwind tables, found through the loader (tests only: not safe at crash time).
struct LoadedImageTables {
    std::string path;
    std::uint64_t base { 0 };
    EMBDwarfImage image;
};

/// The loaded object whose path ends in `suffix` ("" for the program itself).
LoadedImageTables loadedImageTables(const std::string& suffix);

/// An image lookup over the loader's current list, for walks in tests.
bool lookupLoadedImage(std::uint64_t pc, EMBDwarfImage* image);

}
