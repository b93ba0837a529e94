#pragma once

#include "platform/foundation/Value.h"

namespace zorvik {

/// The screen that opens the line-items editor: it gives the list and takes it back.
class LineItemsViewControllerDelegate {
public:
    virtual ~LineItemsViewControllerDelegate() = default;

    /// The invoice's line items.
    virtual platform::foundation::ArrayRef lineItems() const = 0;
    /// Takes the edited list when the editor closes.
    virtual void setLineItems(const platform::foundation::ArrayRef& lineItems) = 0;
};

}
