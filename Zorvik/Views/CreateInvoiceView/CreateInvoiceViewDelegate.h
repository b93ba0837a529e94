#pragma once

#include "platform/foundation/Value.h"

#include <functional>

namespace zorvik::api {
class SequentialReferenceComponentSystem;
}

namespace zorvik {

/// What the create-invoice form asks of its screen. The form never opens a screen itself.
class CreateInvoiceViewDelegate {
public:
    virtual ~CreateInvoiceViewDelegate() = default;

    /// The user wants to choose the recipient business.
    virtual void selectCompany() = 0;
    /// The user agreed to be asked by the system for access to the contacts.
    virtual void showNativeAddressBookContactAccessRequest() = 0;
    /// The user wants to edit the reference; `referenceSystem` numbers the business's invoices.
    virtual void goToInvoiceReferenceNumberViewWithReferenceSystem(
        const api::SequentialReferenceComponentSystem& referenceSystem)
        = 0;
    /// The user wants to pick the e-mail address from the contacts.
    virtual void goToContactSearchView() = 0;
    /// The user wants to see `invoice` as the recipient will.
    virtual void goToInvoicePreviewViewWithInvoice(const platform::foundation::DictionaryRef& invoice) = 0;
    /// The user pressed "cancel".
    virtual void navigateBack() = 0;
    /// The form became complete.
    virtual void invoiceIsValid() = 0;
    /// The form became incomplete.
    virtual void invoiceIsInvalid() = 0;
    /// The invoice shown was deleted (the read-only screen).
    virtual void deletedInvoice(const platform::foundation::DictionaryRef& invoice) = 0;
    /// Asks whether to delete the invoice shown, running one of the blocks with the answer.
    virtual void shouldDeleteInvoice(std::function<void()> yes, std::function<void()> no) = 0;
    /// The user wants to edit the line items.
    virtual void addLineItems() = 0;
    /// The user sent the finished `invoice`.
    virtual void sendInvoice(const platform::foundation::DictionaryRef& invoice) = 0;

    /// The More menu's "Business" row (nothing by default).
    virtual void showBusinessInfo() { }
    /// The More menu's "VAT" row (nothing by default).
    virtual void showVATInfo() { }
    /// The More menu's "Bank account" row (nothing by default).
    virtual void showBankAccountInfo() { }
    /// The read-only screen's "Duplicate": a new invoice copied from the one shown (nothing by default).
    virtual void showCreateInvoiceView() { }
};

}
