#pragma once

#include "platform/foundation/Value.h"

#include <functional>
#include <memory>
#include <string>

namespace zorvik::api {
class Reference;
}

namespace zorvik {

class CreateInvoiceViewDelegate;

/// What the create-invoice screen may ask of its form.
class CreateInvoiceViewProtocol {
public:
    /// Runs when an overlay has gone.
    using Completion = std::function<void()>;

    virtual ~CreateInvoiceViewProtocol() = default;

    /// The bar's spinner in white; the form takes no touches.
    virtual void showLoadingView() = 0;
    /// The spinner goes; the form takes touches again.
    virtual void hideLoadingView() = 0;
    /// Enables the send button.
    virtual void enableSend() = 0;
    /// Disables the send button.
    virtual void disableSend() = 0;
    /// "Sent" for one second, then `completion`.
    virtual void showInvoiceSentView(Completion completion) = 0;
    /// "Deleted" for one second, then `completion`.
    virtual void showInvoiceDeletedView(Completion completion) = 0;
    /// "Oops" for one second; then the form's content takes touches again and `completion` runs.
    virtual void showFailedView(Completion completion) = 0;
    /// Shows and keeps `reference` as the invoice's reference.
    virtual void updateReferenceNumber(const api::Reference& reference) = 0;
    /// The recipient business, or null.
    virtual const platform::foundation::DictionaryRef& recipient() const = 0;
    /// Sets the recipient business; its name shows and the e-mail field takes the focus.
    virtual void setRecipient(const platform::foundation::DictionaryRef& business) = 0;
    /// The e-mail field's text.
    virtual std::string recipientEmail() const = 0;
    /// Shows `email` in the e-mail field.
    virtual void setRecipientEmail(const std::string& email) = 0;
    /// The screen told of the user's requests, or null.
    virtual std::shared_ptr<CreateInvoiceViewDelegate> delegate() const = 0;
    /// Sets the screen, held weakly.
    virtual void setDelegate(const std::weak_ptr<CreateInvoiceViewDelegate>& delegate) = 0;
    /// Whether the amount, description, company name and e-mail fields are all empty.
    virtual bool isEmpty() const = 0;
};

}
