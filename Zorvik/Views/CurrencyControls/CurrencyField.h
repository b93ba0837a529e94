#pragma once

#include <cstdint>

namespace zorvik {

/// Anything that holds and shows a sum of money in whole pence: an amount field, a currency label, a line
/// item's amount view.
class CurrencyField {
public:
    virtual ~CurrencyField() = default;

    /// The amount in pence.
    virtual std::int64_t amount() const = 0;
    /// Shows `pence`.
    virtual void setAmount(std::int64_t pence) = 0;
};

}
