#pragma once

#include <cstddef>
#include <cstdint>

namespace kit {

/// The longest wait before a retry, in seconds.
inline constexpr double kCRNMaximumRetryDelay { 3600 };

/// Seconds to wait before retrying a request after its try number `tryCount` (0 for the first try): the
/// larger of `retryAfter` (the server's "Retry-After" seconds, 2 when it gave none) and 2 raised to
/// max(`tryCount`, 1), times `jitter`, at most kCRNMaximumRetryDelay. So about 2, 2, 4, 8 ... seconds
/// unless the server asks for longer.
double CRNRetryDelay(double retryAfter, std::size_t tryCount, double jitter);

/// A jitter factor, uniform between 0.9 and 1.1, from the process's 48-bit linear congruential generator
/// (seeded from the system at first use). Thread-safe.
double CRNRetryJitter();

/// Restarts the jitter generator at `seed`, so that the factors that follow repeat (for tests).
void CRNSeedRetryJitter(std::uint64_t seed);

}
