#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// A decimal number held exactly, as a whole mantissa times a power of ten, for amounts that binary
/// fractions would round (0.1 stays one tenth). Values compare by what they stand for: 0.50 equals 0.5.
class DecimalNumber {
public:
    /// `mantissa` × 10^`exponent`.
    constexpr DecimalNumber(std::int64_t mantissa = 0, int exponent = 0)
        : m_mantissa(mantissa)
        , m_exponent(exponent)
    {
    }

    /// Reads decimal text: an optional sign, digits with at most one ".", and at least one digit ("0.5",
    /// "-12.30", ".25"). nullopt for anything else, or for more significant digits than 64 bits hold.
    static std::optional<DecimalNumber> fromString(std::string_view text);

    /// The number times 10^`power`, exactly.
    DecimalNumber multiplyingByPowerOf10(int power) const { return { m_mantissa, m_exponent + power }; }

    /// The number as a value: an integer when it is whole and fits 64 bits, else the nearest real.
    Value numberValue() const;
    /// The number in plain decimal digits, without trailing zeros after the point ("0.5", "-12.3", "1000").
    std::string stringValue() const;

    std::int64_t mantissa() const { return m_mantissa; }
    int exponent() const { return m_exponent; }

    bool operator==(const DecimalNumber& other) const;

private:
    /// The same number with the trailing zeros of its mantissa moved into the exponent.
    DecimalNumber normalized() const;

    std::int64_t m_mantissa { 0 };
    int m_exponent { 0 };
};

}
