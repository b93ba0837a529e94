#pragma once

#include "ZorvikAPI/filters/InvoiceFilter.h"

namespace zorvik::api {

class Invoice;

/// The Done folder: the invoices that are not to do (an even number of folder entries, none included).
class DoneFilter : public InvoiceFilter {
public:
    /// True when the invoice is done.
    static bool isInvoiceDone(const Invoice& invoice);

    /// The invoices that are done.
    platform::foundation::ArrayRef filterInvoices(
        const platform::foundation::ArrayRef& invoices) const override;
};

}
