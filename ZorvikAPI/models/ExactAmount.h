#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <string>

namespace zorvik::api {

/// An amount of pence held exactly: whole pence and a fraction of a penny in hundred-millionths, so that
/// a gross amount such as 333 at 20 % (399.6) or 333 at 17.5 % (391.275) carries no binary rounding.
/// Wherever an amount is stored, sent, summed or shown it is its whole pence (the fraction dropped).
class ExactAmount {
public:
    /// The number of fraction units in one penny.
    static constexpr std::int64_t kFractionUnits = 100'000'000;

    ExactAmount() = default;
    /// `pence` whole pence.
    ExactAmount(std::int64_t pence)
        : m_whole(pence)
    {
    }

    /// The exact amount `pence` × `factor` ÷ kFractionUnits (saturating at the limits of 64-bit pence).
    static ExactAmount scaledProduct(std::int64_t pence, std::int64_t factor);

    /// The whole pence, the fraction truncated toward zero: the amount as it is stored, sent, summed
    /// and shown.
    std::int64_t wholePence() const { return m_whole; }
    /// The fraction of a penny in hundred-millionths, with the sign of the amount.
    std::int64_t fraction() const { return m_fraction; }
    /// True when the amount has no fraction of a penny.
    bool isWhole() const { return m_fraction == 0; }

    /// The nearest double, for display to more precision than whole pence.
    double doubleValue() const;
    /// The exact amount in decimal ("399.6", "1200", "-0.25").
    std::string decimalString() const;
    /// The amount as a JSON number: an integer when whole, else a real.
    platform::foundation::Value value() const;

    bool operator==(const ExactAmount&) const = default;

private:
    std::int64_t m_whole { 0 };
    std::int64_t m_fraction { 0 };
};

}
