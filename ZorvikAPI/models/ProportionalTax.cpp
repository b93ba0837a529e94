#include "ZorvikAPI/models/ProportionalTax.h"

#include <cmath>
#include <limits>

namespace zorvik::api {

namespace {

/// The rate in millionths of a percent. A rate that is not a finite number counts as no tax, and
/// rates are bounded far beyond any real one so that the products below cannot overflow.
std::int64_t rateInMillionths(double rate)
{
    constexpr double bound = 1e9;
    if (!std::isfinite(rate))
        return 0;
    return std::llround(std::fmax(-bound, std::fmin(bound, rate)) * 1e6);
}

}

ProportionalTax ProportionalTax::proportionalTaxWithTaxRate(double taxRate, std::int64_t netAmount)
{
    ProportionalTax tax;
    tax.m_taxRate = taxRate;
    tax.m_netAmount = netAmount;
    return tax;
}

ExactAmount ProportionalTax::grossAmount() const
{
    // net × (rate + 100) ÷ 100 = net × (rate × 10^6 + 10^8) ÷ 10^8, all in integers.
    return ExactAmount::scaledProduct(m_netAmount, rateInMillionths(m_taxRate) + ExactAmount::kFractionUnits);
}

std::int64_t ProportionalTax::margin() const
{
    std::int64_t margin = 0;
    if (__builtin_sub_overflow(grossAmount().wholePence(), m_netAmount, &margin))
        return m_netAmount < 0 ? std::numeric_limits<std::int64_t>::max()
                               : std::numeric_limits<std::int64_t>::min();
    return margin;
}

}
