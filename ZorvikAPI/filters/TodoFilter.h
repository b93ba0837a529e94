#pragma once

#include "ZorvikAPI/filters/InvoiceFilter.h"

namespace zorvik::api {

class Invoice;

/// The To-Do folder: the invoices whose folder history "folders" has an odd number of entries (each move
/// adds one; an invoice without a history has none).
class TodoFilter : public InvoiceFilter {
public:
    /// True when the invoice is to do.
    static bool isInvoiceTodo(const Invoice& invoice);
    /// True when the invoice record `record` is to do.
    static bool isRecordTodo(const platform::foundation::Dictionary& record);
    /// True for the folder history `folders` of an invoice to do (null when the invoice has none).
    static bool isHistoryTodo(const platform::foundation::Value* folders);

    /// The invoices that are to do.
    platform::foundation::ArrayRef filterInvoices(
        const platform::foundation::ArrayRef& invoices) const override;
};

}
