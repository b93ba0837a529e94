#pragma once

#include "platform/foundation/Value.h"

namespace zorvik::api {

/// Picks invoices out of a list.
class InvoiceFilter {
public:
    virtual ~InvoiceFilter() = default;

    /// A new list of the invoices of `invoices` that match, in their order; the input is not changed and a
    /// null input gives an empty list.
    virtual platform::foundation::ArrayRef filterInvoices(
        const platform::foundation::ArrayRef& invoices) const = 0;
};

}
