#pragma once

#include "ZorvikAPI/models/ExactAmount.h"

#include <cstdint>

namespace zorvik::api {

/// VAT charged as a share of the net amount: gross = net × (rate + 100) ÷ 100, computed exactly. The rate
/// is a percentage and may be fractional (17.5); it is taken to a millionth of a percent, so every rate
/// written with up to six decimal places gives its exact gross amount.
class ProportionalTax {
public:
    /// A tax at `taxRate` percent on `netAmount` pence.
    static ProportionalTax proportionalTaxWithTaxRate(double taxRate, std::int64_t netAmount = 0);

    /// The rate in percent.
    double taxRate() const { return m_taxRate; }
    /// Replaces the rate.
    void setTaxRate(double taxRate) { m_taxRate = taxRate; }
    /// The net amount in pence.
    std::int64_t netAmount() const { return m_netAmount; }
    /// Replaces the net amount.
    void setNetAmount(std::int64_t netAmount) { m_netAmount = netAmount; }

    /// The exact gross amount, which may hold a fraction of a penny (333 at 20 % is 399.6).
    ExactAmount grossAmount() const;
    /// The tax in whole pence: the gross amount's whole pence minus the net amount.
    std::int64_t margin() const;

private:
    double m_taxRate { 0 };
    std::int64_t m_netAmount { 0 };
};

}
