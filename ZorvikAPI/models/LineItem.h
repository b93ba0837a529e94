#pragma once

#include "ZorvikAPI/models/ExactAmount.h"
#include "ZorvikAPI/models/Resource.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::api {

/// One line of an invoice: "description", "quantity", "unit_price" (pence), "tax" (a rate in percent) and
/// the derived "net_amount" and "gross_amount" (whole pence). Setting the quantity or the unit price
/// derives net and gross, setting the tax derives gross; every setter tells the observers of its accessor
/// ("quantity", "unitPrice", "tax", "netAmount", "grossAmount").
class LineItem : public Resource {
public:
    using Resource::Resource;

    /// A new line item with an empty description, unit price 0, quantity 0 and tax 0 (so net and gross 0).
    static LineItem lineItem();

    /// "description", or nullopt.
    std::optional<std::string> descriptionOfWork() const;
    /// Stores "description".
    void setDescriptionOfWork(std::string_view description) const;

    /// "quantity" (0 when absent).
    std::int64_t quantity() const;
    /// Stores the quantity, then derives net and gross.
    void setQuantity(std::int64_t quantity) const;

    /// "unit_price" in pence (0 when absent).
    std::int64_t unitPrice() const;
    /// Stores the unit price, then derives net and gross.
    void setUnitPrice(std::int64_t unitPrice) const;

    /// "tax", the rate in percent (0 when absent).
    double tax() const;
    /// Stores the rate (as an integer when it is whole), then derives gross.
    void setTax(double taxRate) const;

    /// "net_amount" in whole pence (0 when absent).
    std::int64_t netAmount() const;
    /// Stores "net_amount" and tells the observers of "netAmount".
    void setNetAmount(std::int64_t netAmount) const;

    /// "gross_amount" in whole pence (0 when absent; a stored fraction is dropped).
    std::int64_t grossAmount() const;
    /// Stores "gross_amount" and tells the observers of "grossAmount".
    void setGrossAmount(std::int64_t grossAmount) const;

    /// The gross amount of the net amount at the item's rate before it is cut to whole pence
    /// (net 333 at 20 % is 399.6, stored as 399).
    ExactAmount exactGrossAmount() const;

private:
    void deriveNetAndGross() const;
    void deriveGross() const;
};

}
