#pragma once

#include <cstdint>

namespace kit {

/// Makes the analytics kit's timestamps from the main queue's clock. A test may put a generator of its own
/// in its place.
class EMBAnalyticsTimestampGenerator {
public:
    virtual ~EMBAnalyticsTimestampGenerator() = default;

    /// Whole milliseconds since 1970 now, rounded down (0 for a clock set before 1970).
    virtual std::uint64_t generateAnalyticsTimestamp();
};

}
