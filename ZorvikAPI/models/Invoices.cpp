#include "ZorvikAPI/models/Invoices.h"

#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/Pence.h"
#include "platform/foundation/Array.h"

namespace zorvik::api {

namespace {

template<class Amount> std::int64_t total(const platform::foundation::ArrayRef& invoices, Amount amount)
{
    std::int64_t sum = 0;
    if (!invoices)
        return sum;
    for (auto& element : *invoices) {
        if (auto record = element.dictionary())
            sum = Pence::add(sum, amount(Invoice(record)));
    }
    return sum;
}

}

Invoices::Invoices(platform::foundation::ArrayRef invoices)
    : m_invoices(std::move(invoices))
{
}

std::string Invoices::signature() const
{
    auto last = m_invoices ? m_invoices->last().dictionary() : nullptr;
    return last ? Invoice(last).signature() : std::string(Invoice::kDefaultSignature);
}

std::optional<std::string> Invoices::lastEmailAddressForBusiness(const Business& business) const
{
    auto name = business.name();
    if (!name || !m_invoices)
        return std::nullopt;
    for (auto& element : *m_invoices) {
        auto record = element.dictionary();
        if (!record)
            continue;
        auto to = Invoice(record).to();
        auto recipient = to ? to->business() : std::nullopt;
        if (recipient && recipient->name() == name)
            return to->contact();
    }
    return std::nullopt;
}

std::int64_t Invoices::totalNetAmount() const
{
    return total(m_invoices, [](const Invoice& invoice) { return invoice.netAmount(); });
}

std::int64_t Invoices::totalGrossAmount() const
{
    return total(m_invoices, [](const Invoice& invoice) { return invoice.grossAmount(); });
}

}
