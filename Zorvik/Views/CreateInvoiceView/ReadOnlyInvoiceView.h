#pragma once

#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceView.h"

#include <memory>
#include <string>

namespace platform::ui {
class Button;
}

namespace zorvik {

/// A sent invoice on the New Invoice form, none of which can be changed: its own reference, amount and VAT
/// as stored, description, recipient and e-mail address, line items (which can be looked at) and the date
/// of its last move between folders, titled "Paid invoice" or "Outstanding invoice". Instead of sending it
/// offers Delete, and its More menu Duplicate, Delete and Preview. Tapping the recipient asks the screen
/// for the recipient's details.
///
/// Deleting runs after the screen's "Delete this invoice?" and keeps the form locked, with its spinner,
/// for the whole request: "Deleted" and the screen's deletedInvoice(); on any failure, including an
/// invoice the server no longer knows, "Oops" and the form as it was.
class ReadOnlyInvoiceView : public CreateInvoiceView {
public:
    /// A form showing `invoice`, sent by `sender`; made with make().
    ReadOnlyInvoiceView(api::Freelancer sender, platform::foundation::DictionaryRef invoice);

    /// The form of `invoice`, as described above.
    static std::shared_ptr<ReadOnlyInvoiceView> make(
        const api::Freelancer& sender, const platform::foundation::DictionaryRef& invoice);

    std::string className() const override { return "ReadOnlyInvoiceView"; }

    /// The delete button shows and takes taps.
    void enableAndDisplayDeleteButton();
    /// Asks the screen whether to delete; "Yes" deletes the invoice on the back end.
    void deleteInvoice();
    /// Whether a deletion is under way.
    bool isDeleting() const { return m_deleting; }

    /// Black title and the black back button.
    void applyNavigationBarThemeForLogo() override;
    /// Builds the three rows (Duplicate, Delete, Preview) and shows a new menu over the form.
    void configureAndShowMoreMenu() override;

    const platform::foundation::DictionaryRef& invoice() const { return m_invoice; }
    /// The button over the recipient's name that opens the recipient's details.
    const std::shared_ptr<platform::ui::Button>& recipientButton() const { return m_recipientButton; }

protected:
    void construct() override;

private:
    std::shared_ptr<ReadOnlyInvoiceView> self();
    void lockFields();
    void showInvoice();
    void deleteOnBackEnd();
    void deletionFailed();

    platform::foundation::DictionaryRef m_invoice;
    std::shared_ptr<platform::ui::Button> m_recipientButton;
    bool m_deleting { false };
};

}
