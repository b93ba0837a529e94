#pragma once

#include <source_location>
#include <string_view>

namespace platform::foundation {

/// Stops the program with `message` and where it was called from, for an
/// outcome the design calls impossible. Writes to stderr, then aborts.
[[noreturn]] void fatalError(
    std::string_view message, std::source_location location = std::source_location::current());

/// Stops the program through fatalError() when `condition` is false. Unlike
/// assert(), it is checked in every build.
inline void precondition(
    bool condition, std::string_view message, std::source_location location = std::source_location::current())
{
    if (!condition)
        fatalError(message, location);
}

}
