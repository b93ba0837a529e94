#include "ZorvikAPI/models/LineItems.h"

#include "ZorvikAPI/models/LineItem.h"
#include "ZorvikAPI/models/Pence.h"
#include "platform/foundation/Array.h"

namespace zorvik::api {

namespace {

template<class Amount> std::int64_t total(const platform::foundation::ArrayRef& items, Amount amount)
{
    std::int64_t sum = 0;
    if (!items)
        return sum;
    for (auto& element : *items) {
        if (auto record = element.dictionary())
            sum = Pence::add(sum, amount(LineItem(record)));
    }
    return sum;
}

}

LineItems::LineItems(platform::foundation::ArrayRef lineItems)
    : m_lineItems(std::move(lineItems))
{
}

std::int64_t LineItems::totalNetAmount() const
{
    return total(m_lineItems, [](const LineItem& item) { return item.netAmount(); });
}

std::int64_t LineItems::totalGrossAmount() const
{
    return total(m_lineItems, [](const LineItem& item) { return item.grossAmount(); });
}

}
