#pragma once

#include "ZorvikAPI/models/LineItem.h"

#include <cstdint>

namespace zorvik::api::test {

/// A new line item of `quantity` at `unitPrice` pence with `tax` percent, set in the order a person fills
/// them in.
inline LineItem item(std::int64_t quantity, std::int64_t unitPrice, double tax)
{
    LineItem line = LineItem::lineItem();
    line.setTax(tax);
    line.setUnitPrice(unitPrice);
    line.setQuantity(quantity);
    return line;
}

}
