#pragma once

#include "Zorvik/Views/FolderView/InvoiceTableCellViewObjc.h"

namespace zorvik {

/// A row of the To-Do folder: "outstanding", then by the invoice's state the sent date in teal, or the
/// days to the payment date in yellow (due), or the days past it in red (late). Its swipe moves the
/// invoice to "done".
class SentInvoiceTableCellView : public InvoiceTableCellViewObjc {
public:
    using InvoiceTableCellViewObjc::InvoiceTableCellViewObjc;

    std::string className() const override { return "SentInvoiceTableCellView"; }

    /// Keeps and shows the invoice.
    void setInvoice(const platform::foundation::DictionaryRef& invoice) override;
    /// Shows InvoiceState's state: 2 late, 1 due, anything else normal.
    void prepareTableCellForState(int state);
};

}
