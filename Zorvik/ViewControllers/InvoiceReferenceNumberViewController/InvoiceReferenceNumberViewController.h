#pragma once

#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberDelegate.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/Reference.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceComponentSystem.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class InvoiceReferenceNumberView;

/// The invoice reference editor: a panel that slides up over the dimmed screen to show, and change, the
/// reference of the invoice being written. The opener sets the delegate, chooses the over-current-context
/// presentation and presents it without animation; each save reaches the delegate, and the editor
/// dismisses itself, without animation, once its panel has slid away.
class InvoiceReferenceNumberViewController : public platform::ui::ViewController,
                                             public InvoiceReferenceNumberDelegate {
public:
    /// An editor of `reference`, checked against the business's invoices through `system`.
    InvoiceReferenceNumberViewController(
        api::Reference reference, api::SequentialReferenceComponentSystem system);

    std::string className() const override { return "InvoiceReferenceNumberViewController"; }

    /// The overlay with its panel becomes the view.
    void loadView() override;
    /// Slides the panel in.
    void viewDidAppear(bool animated) override;
    /// Dismisses the editor without animation.
    void dismiss();
    /// Passes a saved reference on to the delegate.
    void invoiceReferenceNumberUpdated(const api::Reference& reference) override;

    std::shared_ptr<InvoiceReferenceNumberDelegate> delegate() const { return m_delegate.lock(); }
    /// Sets who hears of saves, held weakly.
    void setDelegate(std::weak_ptr<InvoiceReferenceNumberDelegate> delegate)
    {
        m_delegate = std::move(delegate);
    }
    const api::Reference& invoiceReferenceNumber() const { return m_invoiceReferenceNumber; }
    const api::SequentialReferenceComponentSystem& referenceSystem() const { return m_referenceSystem; }
    /// The overlay, once the view is loaded.
    std::shared_ptr<InvoiceReferenceNumberView> invoiceReferenceNumberView() const { return m_view.lock(); }

protected:
    /// The overlay this editor shows.
    virtual std::shared_ptr<InvoiceReferenceNumberView> makeOverlay();

private:
    std::weak_ptr<InvoiceReferenceNumberDelegate> m_delegate;
    api::Reference m_invoiceReferenceNumber;
    api::SequentialReferenceComponentSystem m_referenceSystem;
    std::weak_ptr<InvoiceReferenceNumberView> m_view;
};

/// The editor of a sent invoice's reference: it only shows the reference.
class ReadOnlyInvoiceReferenceNumberViewController : public InvoiceReferenceNumberViewController {
public:
    using InvoiceReferenceNumberViewController::InvoiceReferenceNumberViewController;

    std::string className() const override { return "ReadOnlyInvoiceReferenceNumberViewController"; }

protected:
    std::shared_ptr<InvoiceReferenceNumberView> makeOverlay() override;
};

}
