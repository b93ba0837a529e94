#pragma once

namespace zorvik {

/// Names reserved for invoice changes. Nothing posts or observes them: invoice changes reach the screens
/// by direct calls and by observing a business's "invoices".
struct InvoiceEventsObjc {
    static constexpr const char* sentInvoice { "sentinvoice" };
    static constexpr const char* movedInvoice { "movedinvoice" };
    static constexpr const char* deletedInvoice { "deletedinvoice" };
    static constexpr const char* removeAllInvoiceListeners { "removeallinvoicelisteners" };
};

}
