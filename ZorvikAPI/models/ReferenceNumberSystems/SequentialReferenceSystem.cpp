#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceSystem.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <cstdio>
#include <limits>

namespace zorvik::api {

SequentialReferenceSystem::SequentialReferenceSystem(platform::foundation::ArrayRef invoices)
    : m_invoices(std::move(invoices))
{
}

SequentialReferenceSystem SequentialReferenceSystem::withInvoices(platform::foundation::ArrayRef invoices)
{
    return SequentialReferenceSystem(std::move(invoices));
}

std::string SequentialReferenceSystem::nextReference() const
{
    auto newest = m_invoices ? m_invoices->first().dictionary() : nullptr;
    if (!newest)
        return "001";
    std::int64_t value = newest->get("reference").integerValue();
    std::int64_t next = value == std::numeric_limits<std::int64_t>::max() ? value : value + 1;
    char digits[32];
    int length = std::snprintf(digits, sizeof digits, "%03lld", static_cast<long long>(next));
    return std::string(digits, static_cast<std::size_t>(length));
}

}
