#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <memory>

namespace zorvik {

class InvoiceTableCellViewObjc;
class SwipeableBackground;

/// Makes the parts of one folder's rows: the row view, the background behind it and the side it swipes to.
class InvoiceTableCellViewProvider {
public:
    virtual ~InvoiceTableCellViewProvider() = default;

    /// The invoice of the row being made (only stored).
    const platform::foundation::DictionaryRef& invoice() const { return m_invoice; }
    /// Stores the invoice of the row being made.
    void setInvoice(const platform::foundation::DictionaryRef& invoice) { m_invoice = invoice; }

    /// A new row view, empty until given its invoice.
    virtual std::shared_ptr<InvoiceTableCellViewObjc> documentView() const = 0;
    /// A new background for the row's swipe.
    virtual std::shared_ptr<SwipeableBackground> swipeableBackgroundView() const = 0;
    /// The side the folder's rows swipe to (SwipeableContentView::SwipeRight or SwipeLeft).
    virtual std::int64_t swipeDirection() const = 0;

private:
    platform::foundation::DictionaryRef m_invoice;
};

}
