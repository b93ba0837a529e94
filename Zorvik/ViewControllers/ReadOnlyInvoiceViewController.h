#pragma once

#include "Zorvik/ViewControllers/ContentViewController.h"
#include "Zorvik/ViewControllers/LineItemsViewControllerDelegate.h"
#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceViewDelegate.h"
#include "ZorvikAPI/models/Freelancer.h"

#include <functional>
#include <memory>
#include <string>

namespace zorvik {

class ReadOnlyInvoiceView;

/// The screen of a sent invoice, which the folders screen pushes when an invoice row is tapped. Its view is
/// a ReadOnlyInvoiceView; from it the user looks at the recipient's details, the reference and the line
/// items (none of which can be changed), previews the invoice, duplicates it into a New Invoice screen, or
/// deletes it after "Delete this invoice?" (the screen pops once "Deleted" has shown).
class ReadOnlyInvoiceViewController : public ContentViewController,
                                      public CreateInvoiceViewDelegate,
                                      public ViewControllerTransitionDelegate,
                                      public LineItemsViewControllerDelegate {
public:
    /// The screen of `invoice`, sent by `user` (the signed-in freelancer).
    ReadOnlyInvoiceViewController(api::Freelancer user, platform::foundation::DictionaryRef invoice);

    std::string className() const override { return "ReadOnlyInvoiceViewController"; }

    /// Makes the read-only form of the invoice with this screen as its controller and delegate.
    void loadView() override;
    /// The logo as the sender's business has it; no logo can be added here.
    void viewDidLoad() override;
    /// The logo view when the device holds a logo and the business has a logo address; else none.
    void determineWhichContentViewToShow();
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override { return statusBarStyle(); }
    /// The base behaviour, then the form's look for a logo.
    void logoAdded() override;

    /// The duplicate screen (exactly a CreateInvoiceViewController) arrives rising over this one; any
    /// other screen slides in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// The duplicate screen (exactly a CreateInvoiceViewController) leaves dropping away; any other
    /// screen leaves as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    /// The invoice's line items.
    platform::foundation::ArrayRef lineItems() const override;
    /// Nothing: a sent invoice keeps its items.
    void setLineItems(const platform::foundation::ArrayRef&) override { }

    // CreateInvoiceViewDelegate
    /// Pops this screen, animated.
    void navigateBack() override;
    /// Pushes the recipient's details, read-only ("Invoice sent to").
    void selectCompany() override;
    /// Pushes the preview of `invoice`, animated.
    void goToInvoicePreviewViewWithInvoice(const platform::foundation::DictionaryRef& invoice) override;
    /// Presents the line-items editor, read-only and without animation, with the invoice's items.
    void addLineItems() override;
    /// Presents the invoice's own reference over the form, read-only and without animation.
    void goToInvoiceReferenceNumberViewWithReferenceSystem(
        const api::SequentialReferenceComponentSystem& referenceSystem) override;
    /// "Delete this invoice?": "No" runs `no`, "Yes" runs `yes`.
    void shouldDeleteInvoice(std::function<void()> yes, std::function<void()> no) override;
    /// Pops this screen, animated.
    void deletedInvoice(const platform::foundation::DictionaryRef& invoice) override;
    /// Pushes, animated, a New Invoice screen copied from the invoice.
    void showCreateInvoiceView() override;
    /// Nothing on this screen.
    void showNativeAddressBookContactAccessRequest() override { }
    /// Nothing on this screen.
    void goToContactSearchView() override { }
    /// Nothing on this screen.
    void invoiceIsValid() override { }
    /// Nothing on this screen.
    void invoiceIsInvalid() override { }
    /// Nothing on this screen.
    void sendInvoice(const platform::foundation::DictionaryRef&) override { }

    const api::Freelancer& user() const { return m_user; }
    const platform::foundation::DictionaryRef& invoice() const { return m_invoice; }
    /// The form, once the view is loaded.
    const std::shared_ptr<ReadOnlyInvoiceView>& readOnlyInvoiceView() const { return m_view; }

private:
    std::shared_ptr<ReadOnlyInvoiceViewController> self();
    void push(std::shared_ptr<platform::ui::ViewController> screen);
    void pop();

    api::Freelancer m_user;
    platform::foundation::DictionaryRef m_invoice;
    std::shared_ptr<ReadOnlyInvoiceView> m_view;
};

}
