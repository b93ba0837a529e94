#include "platform/foundation/DecimalNumber.h"

#include <limits>

namespace platform::foundation {

std::optional<DecimalNumber> DecimalNumber::fromString(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint64_t mantissa = 0;
    int exponent = 0;
    bool digits = false;
    bool point = false;
    for (char character : text) {
        if (character == '.' && !point) {
            point = true;
            continue;
        }
        if (character < '0' || character > '9')
            return std::nullopt;
        digits = true;
        auto digit = static_cast<std::uint64_t>(character - '0');
        if (mantissa > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            return std::nullopt;
        mantissa = mantissa * 10 + digit;
        if (point)
            --exponent;
    }
    auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (!digits || mantissa > limit)
        return std::nullopt;
    auto signedMantissa = static_cast<std::int64_t>(mantissa);
    return DecimalNumber(negative ? -signedMantissa : signedMantissa, exponent);
}

DecimalNumber DecimalNumber::normalized() const
{
    if (m_mantissa == 0)
        return {};
    DecimalNumber number = *this;
    while (number.m_mantissa % 10 == 0) {
        number.m_mantissa /= 10;
        ++number.m_exponent;
    }
    return number;
}

Value DecimalNumber::numberValue() const
{
    auto number = normalized();
    if (number.m_exponent >= 0 && number.m_exponent <= 18) {
        constexpr auto kLargest = std::numeric_limits<std::int64_t>::max() / 10;
        constexpr auto kSmallest = std::numeric_limits<std::int64_t>::min() / 10;
        std::int64_t scaled = number.m_mantissa;
        bool fits = true;
        for (int power = 0; power < number.m_exponent && fits; ++power) {
            fits = scaled <= kLargest && scaled >= kSmallest;
            scaled *= fits ? 10 : 1;
        }
        if (fits)
            return Value(scaled);
    }
    return Value(std::stod(stringValue()));
}

std::string DecimalNumber::stringValue() const
{
    auto number = normalized();
    std::string digits = std::to_string(number.m_mantissa);
    bool negative = digits.front() == '-';
    if (negative)
        digits.erase(0, 1);
    if (number.m_exponent >= 0) {
        digits.append(static_cast<std::size_t>(number.m_exponent), '0');
    } else {
        auto fraction = static_cast<std::size_t>(-number.m_exponent);
        if (digits.size() <= fraction)
            digits.insert(0, fraction - digits.size() + 1, '0');
        digits.insert(digits.size() - fraction, ".");
    }
    return negative ? "-" + digits : digits;
}

bool DecimalNumber::operator==(const DecimalNumber& other) const
{
    auto left = normalized();
    auto right = other.normalized();
    return left.m_mantissa == right.m_mantissa && left.m_exponent == right.m_exponent;
}

}
