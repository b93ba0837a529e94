#pragma once

#include "platform/foundation/Value.h"

#include <string>

namespace zorvik {

/// Asked by a swiped invoice row to move its invoice.
class InvoiceTableCellDelegate {
public:
    virtual ~InvoiceTableCellDelegate() = default;

    /// Moves `invoice` to `folder`, "todo" or "done".
    virtual void moveInvoice(const platform::foundation::DictionaryRef& invoice, const std::string& folder)
        = 0;
};

}
