#include "ZorvikAPI/models/ExactAmount.h"

#include <limits>

namespace zorvik::api {

ExactAmount ExactAmount::scaledProduct(std::int64_t pence, std::int64_t factor)
{
    __int128 units = static_cast<__int128>(pence) * factor;
    __int128 whole = units / kFractionUnits;
    ExactAmount amount;
    if (whole > std::numeric_limits<std::int64_t>::max()) {
        amount.m_whole = std::numeric_limits<std::int64_t>::max();
    } else if (whole < std::numeric_limits<std::int64_t>::min()) {
        amount.m_whole = std::numeric_limits<std::int64_t>::min();
    } else {
        amount.m_whole = static_cast<std::int64_t>(whole);
        amount.m_fraction = static_cast<std::int64_t>(units % kFractionUnits);
    }
    return amount;
}

double ExactAmount::doubleValue() const
{
    return static_cast<double>(m_whole)
        + static_cast<double>(m_fraction) / static_cast<double>(kFractionUnits);
}

std::string ExactAmount::decimalString() const
{
    if (m_fraction == 0)
        return std::to_string(m_whole);
    // The fraction has eight decimal places (kFractionUnits is 10^8) and the sign of the whole amount.
    std::string digits = std::to_string(m_fraction < 0 ? -m_fraction : m_fraction);
    digits.insert(0, 8 - digits.size(), '0');
    digits.erase(digits.find_last_not_of('0') + 1);
    bool negative = m_fraction < 0;
    std::uint64_t whole
        = negative ? 0 - static_cast<std::uint64_t>(m_whole) : static_cast<std::uint64_t>(m_whole);
    return (negative ? "-" : "") + std::to_string(whole) + "." + digits;
}

platform::foundation::Value ExactAmount::value() const
{
    if (isWhole())
        return platform::foundation::Value(m_whole);
    return platform::foundation::Value(doubleValue());
}

}
