#pragma once

#include <cstdint>
#include <limits>

namespace zorvik::api {

/// Sums and products of whole pence that stop at the limits of 64 bits instead of overflowing, so that an
/// absurd quantity or price typed in gives an absurd total rather than undefined behaviour.
struct Pence {
    /// `a` + `b`, held at the nearest limit on overflow.
    static std::int64_t add(std::int64_t a, std::int64_t b)
    {
        std::int64_t sum = 0;
        if (__builtin_add_overflow(a, b, &sum))
            return a < 0 ? std::numeric_limits<std::int64_t>::min()
                         : std::numeric_limits<std::int64_t>::max();
        return sum;
    }

    /// `a` × `b`, held at the nearest limit on overflow.
    static std::int64_t multiply(std::int64_t a, std::int64_t b)
    {
        std::int64_t product = 0;
        if (__builtin_mul_overflow(a, b, &product))
            return (a < 0) == (b < 0) ? std::numeric_limits<std::int64_t>::max()
                                      : std::numeric_limits<std::int64_t>::min();
        return product;
    }
};

}
