#pragma once

#include "Zorvik/ViewControllers/ContentViewController.h"
#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberDelegate.h"
#include "Zorvik/ViewControllers/LineItemsViewControllerDelegate.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/AddressBookContactSearchViewDelegate.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SelectInvoiceRecipientViewController.h"
#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceViewDelegate.h"
#include "ZorvikAPI/models/Freelancer.h"

#include <memory>
#include <string>

namespace zorvik {

class CreateInvoiceView;

/// The New Invoice screen: the folders screen pushes it to write an invoice, the read-only invoice screen
/// to duplicate one. It owns the form (CreateInvoiceView), answers the form's requests by opening the
/// preview, the line-items and reference editors and the system's contacts question, and sends the
/// finished invoice to the back end: "Sent" for a second, then back to the folders screen; on any failure
/// "Oops" for a second, then the form is given back whole. One send runs at a time.
class CreateInvoiceViewController : public ContentViewController,
                                    public ViewControllerTransitionDelegate,
                                    public CreateInvoiceViewDelegate,
                                    public LineItemsViewControllerDelegate,
                                    public InvoiceReferenceNumberDelegate,
                                    public SelectInvoiceRecipientSummaryControllerDelegate,
                                    public AddressBookContactSearchViewDelegate {
public:
    /// A screen for a new invoice from `sender` (the signed-in freelancer), or, when `duplicate` is not
    /// null, for a copy of that invoice.
    explicit CreateInvoiceViewController(
        api::Freelancer sender, platform::foundation::DictionaryRef duplicate = nullptr);

    std::string className() const override { return "CreateInvoiceViewController"; }

    /// Makes the form (a copy of the duplicate when there is one) with this screen as its controller and
    /// delegate.
    void loadView() override;
    /// The frame's logo presentation and the status bar.
    void viewDidLoad() override;
    /// Refreshes the More menu's rows with details changed on a screen pushed over this one.
    void viewWillAppear(bool animated) override;
    /// Ends editing in the form.
    void viewWillDisappear(bool animated) override;
    /// The frame's light content, or default once a logo is shown.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override { return statusBarStyle(); }
    /// The base behaviour, then the form's look for a logo.
    void logoAdded() override;

    /// The line-items and preview screens (exactly those classes) arrive rising over this one; any other
    /// screen slides in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// The line-items and preview screens (exactly those classes) leave dropping away; any other screen
    /// leaves as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    // CreateInvoiceViewDelegate
    /// Pushes the recipient picker, animated, showing the form's recipient; the picker comes back to this
    /// screen with companyConfirmed().
    void selectCompany() override;
    /// Asks the system for contacts access; when granted, goToContactSearchView().
    void showNativeAddressBookContactAccessRequest() override;
    /// Presents the reference editor over the form, without animation.
    void goToInvoiceReferenceNumberViewWithReferenceSystem(
        const api::SequentialReferenceComponentSystem& referenceSystem) override;
    /// Pushes the contact e-mail picker, animated, with the e-mail typed so far; the picked address arrives
    /// through addContactEmailFromSearch().
    void goToContactSearchView() override;
    /// Pushes the preview of `invoice`, animated.
    void goToInvoicePreviewViewWithInvoice(const platform::foundation::DictionaryRef& invoice) override;
    /// An untouched form pops at once; any other asks "Discard this invoice?".
    void navigateBack() override;
    /// Enables the send button.
    void invoiceIsValid() override;
    /// Disables the send button.
    void invoiceIsInvalid() override;
    /// Nothing on this screen.
    void deletedInvoice(const platform::foundation::DictionaryRef&) override { }
    /// Nothing on this screen.
    void shouldDeleteInvoice(std::function<void()>, std::function<void()>) override { }
    /// Presents the line-items editor without animation and gives it the form's items.
    void addLineItems() override;
    /// Sends `invoice` for the sender's business (a second call while one runs is ignored).
    void sendInvoice(const platform::foundation::DictionaryRef& invoice) override;
    /// Pushes the business details form, animated.
    void showBusinessInfo() override;
    /// Pushes the VAT registration form, animated.
    void showVATInfo() override;
    /// Pushes the bank account form, animated.
    void showBankAccountInfo() override;

    /// The recipient chosen on the picker: the form shows it and, when its e-mail field is empty, takes
    /// the address used on the last invoice to a business of that name.
    void companyConfirmed(const platform::foundation::DictionaryRef& business) override;
    /// The e-mail address picked from the contacts.
    void addContactEmailFromSearch(const std::string& email) override;

    /// The form's line items.
    platform::foundation::ArrayRef lineItems() const override;
    /// Gives the form the edited line items.
    void setLineItems(const platform::foundation::ArrayRef& lineItems) override;
    /// Shows the reference saved in the reference editor.
    void invoiceReferenceNumberUpdated(const api::Reference& reference) override;

    /// Pops, animated, to the first folders screen from the bottom of the stack; stays when there is none.
    void popBackToFoldersViewController();

    const api::Freelancer& from() const { return m_from; }
    const platform::foundation::DictionaryRef& duplicate() const { return m_duplicate; }
    /// The form, once the view is loaded.
    const std::shared_ptr<CreateInvoiceView>& createInvoiceView() const { return m_createInvoiceView; }
    /// Whether a send is under way.
    bool isSending() const { return m_sending; }

private:
    std::shared_ptr<CreateInvoiceViewController> self();
    void push(std::shared_ptr<platform::ui::ViewController> screen);
    void sendFailed();

    api::Freelancer m_from;
    platform::foundation::DictionaryRef m_duplicate;
    std::shared_ptr<CreateInvoiceView> m_createInvoiceView;
    bool m_sending { false };
};

}
