#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zorvik::api {

class Business;

/// A view of a list of invoices, newest first as a business keeps them.
class Invoices {
public:
    /// A view of `invoices` (null views an empty list).
    explicit Invoices(platform::foundation::ArrayRef invoices);

    /// The signature of the last invoice, or "Thank you" for an empty list.
    std::string signature() const;

    /// The recipient's e-mail address ("to" → "contact") of the first invoice whose recipient business has
    /// exactly the name of `business`, or nullopt when none has (or `business` has no name).
    std::optional<std::string> lastEmailAddressForBusiness(const Business& business) const;

    /// The sum of the invoices' net amounts in whole pence; 0 for an empty list.
    std::int64_t totalNetAmount() const;
    /// The sum of the invoices' gross amounts in whole pence; 0 for an empty list.
    std::int64_t totalGrossAmount() const;

private:
    platform::foundation::ArrayRef m_invoices;
};

}
