#pragma once

#include "Zorvik/Views/FolderView/InvoiceTableCellViewObjc.h"

namespace zorvik {

/// A row of the Done folder: "paid" and the day the invoice was moved to Done (the date of the last entry
/// of its folder history; an invoice without a history shows "sent " and its sent date instead). Its swipe
/// moves the invoice to "todo".
class PaidInvoiceTableCellView : public InvoiceTableCellViewObjc {
public:
    using InvoiceTableCellViewObjc::InvoiceTableCellViewObjc;

    std::string className() const override { return "PaidInvoiceTableCellView"; }

    /// Keeps and shows the invoice.
    void setInvoice(const platform::foundation::DictionaryRef& invoice) override;
};

}
