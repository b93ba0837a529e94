#pragma once

#include "platform/foundation/Value.h"

#include <memory>

namespace zorvik {

class InvoiceReceiverControllerProtocol;

/// What a screen may ask of the recipient details form.
class InvoiceReceiverViewProtocol {
public:
    virtual ~InvoiceReceiverViewProtocol() = default;

    /// The controller told of the user's choices, or null.
    virtual std::shared_ptr<InvoiceReceiverControllerProtocol> controller() const = 0;
    /// Sets the controller, held weakly.
    virtual void setController(const std::weak_ptr<InvoiceReceiverControllerProtocol>& controller) = 0;
    /// The record the fields were last filled from or built into, or null.
    virtual const platform::foundation::DictionaryRef& business() const = 0;
    /// Fills the fields from `business`, unless it equals the record shown in every field.
    virtual void setBusiness(const platform::foundation::DictionaryRef& business) = 0;
    /// Whether the form only shows the recipient.
    virtual bool readonly() const = 0;
    /// Shows the recipient only ("Invoice sent to") or lets the user correct it ("Recipient name").
    virtual void setReadonly(bool readonly) = 0;
};

}
