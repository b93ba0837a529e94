#pragma once

#include "platform/foundation/Value.h"

#include <memory>
#include <string>

namespace platform::ui {
class Image;
}

namespace zorvik {

class FoldersControllerProtocol;

/// What the home screen asks of its view.
class FoldersViewProtocol {
public:
    virtual ~FoldersViewProtocol() = default;

    /// Shows the invoices (the first time, or again).
    virtual void loadInvoices(const platform::foundation::ArrayRef& invoices) = 0;
    /// Shows the invoices after one was sent.
    virtual void invoiceSent(const platform::foundation::ArrayRef& invoices) = 0;
    /// Shows the invoices after one was deleted.
    virtual void invoiceDeleted(const platform::foundation::ArrayRef& invoices) = 0;
    /// Shows the invoices after one was moved between the folders.
    virtual void invoiceMoved(const platform::foundation::ArrayRef& invoices) = 0;
    /// Shows a two-button dialog over the view; the positive answer turns the reminders on.
    virtual void showNotificationInfoMessage(const std::string& title, const std::string& message,
        const std::string& noButtonText, const std::string& yesButtonText,
        const std::shared_ptr<const platform::ui::Image>& icon, unsigned event)
        = 0;
    /// The screen that answers the view's buttons, or null.
    virtual std::shared_ptr<FoldersControllerProtocol> controller() const = 0;
    /// Sets the screen that answers the view's buttons, held weakly.
    virtual void setController(const std::weak_ptr<FoldersControllerProtocol>& controller) = 0;
    /// Whether the To-Do folder is the one shown.
    virtual bool isSentFolderOpen() const = 0;
};

}
