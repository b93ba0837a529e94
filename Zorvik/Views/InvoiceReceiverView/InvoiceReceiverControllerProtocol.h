#pragma once

#include "platform/foundation/Value.h"

namespace zorvik {

/// What the recipient details form asks of the screen that shows it.
class InvoiceReceiverControllerProtocol {
public:
    virtual ~InvoiceReceiverControllerProtocol() = default;

    /// The user wants to pick the company again from the register.
    virtual void searchCompanies() = 0;
    /// The user left the form; `business` is a fresh record built from its fields.
    virtual void businessConfirmed(const platform::foundation::DictionaryRef& business) = 0;
    /// Declared for the screens; the form never sends it.
    virtual void cancelled() = 0;
};

}
