#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>

namespace zorvik::api {

/// A view of an invoice's list of line items.
class LineItems {
public:
    /// A view of `lineItems` (null views an empty list).
    explicit LineItems(platform::foundation::ArrayRef lineItems);

    /// The sum of the items' net amounts, each in whole pence; 0 for an empty list.
    std::int64_t totalNetAmount() const;
    /// The sum of the items' gross amounts, each in whole pence (a stored fraction dropped); 0 for an
    /// empty list.
    std::int64_t totalGrossAmount() const;

private:
    platform::foundation::ArrayRef m_lineItems;
};

}
