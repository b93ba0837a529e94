#pragma once

#include <cstdint>
#include <functional>

namespace kit {

/// The system's monotonic clock in nanoseconds (the capture code's "absolute time"). Async-signal-safe.
std::uint64_t EMBAbsoluteTime();

/// A mark to measure from.
std::uint64_t EMBProfilingStart();
/// Milliseconds since `mark`.
double EMBProfileEnd(std::uint64_t mark);
/// Runs `block` and prints "[Profile] <label>: <milliseconds> ms" to standard error.
void EMBProfileBlock(const char* label, const std::function<void()>& block);

}
