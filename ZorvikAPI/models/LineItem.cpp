#include "ZorvikAPI/models/LineItem.h"

#include "ZorvikAPI/models/Pence.h"
#include "ZorvikAPI/models/ProportionalTax.h"
#include "platform/foundation/Dictionary.h"

#include <cmath>

namespace zorvik::api {

using platform::foundation::Dictionary;
using platform::foundation::Value;

LineItem LineItem::lineItem()
{
    LineItem item(Dictionary::make());
    item.setDescriptionOfWork("");
    item.setUnitPrice(0);
    item.setQuantity(0);
    item.setTax(0);
    return item;
}

std::optional<std::string> LineItem::descriptionOfWork() const
{
    return text("description");
}

void LineItem::setDescriptionOfWork(std::string_view description) const
{
    m_record->set("description", description);
}

std::int64_t LineItem::quantity() const
{
    return m_record->get("quantity").integerValue();
}

void LineItem::setQuantity(std::int64_t quantity) const
{
    setAnnouncing("quantity", quantity, "quantity");
    deriveNetAndGross();
}

std::int64_t LineItem::unitPrice() const
{
    return m_record->get("unit_price").integerValue();
}

void LineItem::setUnitPrice(std::int64_t unitPrice) const
{
    setAnnouncing("unit_price", unitPrice, "unitPrice");
    deriveNetAndGross();
}

double LineItem::tax() const
{
    return m_record->get("tax").doubleValue();
}

void LineItem::setTax(double taxRate) const
{
    bool whole = std::isfinite(taxRate) && std::trunc(taxRate) == taxRate && std::fabs(taxRate) < 1e15;
    setAnnouncing("tax", whole ? Value(static_cast<std::int64_t>(taxRate)) : Value(taxRate), "tax");
    deriveGross();
}

std::int64_t LineItem::netAmount() const
{
    return m_record->get("net_amount").integerValue();
}

void LineItem::setNetAmount(std::int64_t netAmount) const
{
    setAnnouncing("net_amount", netAmount, "netAmount");
}

std::int64_t LineItem::grossAmount() const
{
    return m_record->get("gross_amount").integerValue();
}

void LineItem::setGrossAmount(std::int64_t grossAmount) const
{
    setAnnouncing("gross_amount", grossAmount, "grossAmount");
}

ExactAmount LineItem::exactGrossAmount() const
{
    return ProportionalTax::proportionalTaxWithTaxRate(tax(), netAmount()).grossAmount();
}

void LineItem::deriveNetAndGross() const
{
    setNetAmount(Pence::multiply(quantity(), unitPrice()));
    deriveGross();
}

void LineItem::deriveGross() const
{
    setGrossAmount(exactGrossAmount().wholePence());
}

}
