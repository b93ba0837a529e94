#pragma once

#include "ZorvikAPI/filters/InvoiceFilter.h"

namespace zorvik::api {

/// Thirty days back, as a time interval in seconds.
extern const double THIRTY_DAYS_AGO;

/// The late invoices: those to do that were sent thirty days ago or earlier (the instant exactly thirty
/// days before now counts as late), and those to do whose "sent" is absent or unreadable.
class LateFilter : public InvoiceFilter {
public:
    /// The invoices that are late at the current time of the main queue's clock (read once per call).
    platform::foundation::ArrayRef filterInvoices(
        const platform::foundation::ArrayRef& invoices) const override;
};

}
