#include "kit/core/CRNRetryBackoff.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <random>

namespace kit {

namespace {

// The generator of the C library's drand48(): x' = (0x5DEECE66D x + 11) mod 2^48.
using Rand48 = std::linear_congruential_engine<std::uint64_t, 0x5DEECE66DULL, 0xB, 1ULL << 48>;

struct JitterSource {
    std::mutex mutex;
    Rand48 generator { std::random_device {}() };
};

JitterSource& jitterSource()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* source = new JitterSource;
    return *source;
}

}

double CRNRetryDelay(double retryAfter, std::size_t tryCount, double jitter)
{
    double exponential = std::ldexp(1.0, static_cast<int>(std::clamp<std::size_t>(tryCount, 1, 64)));
    return std::min(std::max(retryAfter, exponential) * jitter, kCRNMaximumRetryDelay);
}

double CRNRetryJitter()
{
    constexpr double kLow = 0.9f;
    constexpr double kHigh = 1.1f;
    auto& source = jitterSource();
    std::uint64_t draw = 0;
    {
        std::lock_guard lock(source.mutex);
        draw = source.generator();
    }
    double uniform = std::ldexp(static_cast<double>(draw), -48);
    return kLow + uniform * (kHigh - kLow);
}

void CRNSeedRetryJitter(std::uint64_t seed)
{
    auto& source = jitterSource();
    std::lock_guard lock(source.mutex);
    source.generator.seed(seed);
}

}
