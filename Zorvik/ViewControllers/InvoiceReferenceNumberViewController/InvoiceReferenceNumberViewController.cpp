#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberViewController.h"

#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNumberView.h"

namespace zorvik {

InvoiceReferenceNumberViewController::InvoiceReferenceNumberViewController(
    api::Reference reference, api::SequentialReferenceComponentSystem system)
    : m_invoiceReferenceNumber(std::move(reference))
    , m_referenceSystem(std::move(system))
{
}

void InvoiceReferenceNumberViewController::loadView()
{
    auto overlay = makeOverlay();
    m_view = overlay;
    setView(overlay);
}

std::shared_ptr<InvoiceReferenceNumberView> InvoiceReferenceNumberViewController::makeOverlay()
{
    return InvoiceReferenceNumberView::make(m_invoiceReferenceNumber,
        std::static_pointer_cast<InvoiceReferenceNumberViewController>(shared_from_this()),
        m_referenceSystem);
}

void InvoiceReferenceNumberViewController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    if (auto overlay = invoiceReferenceNumberView())
        overlay->fadeShadowViewIn();
}

void InvoiceReferenceNumberViewController::dismiss()
{
    dismissViewController(false);
}

void InvoiceReferenceNumberViewController::invoiceReferenceNumberUpdated(const api::Reference& reference)
{
    if (auto opener = delegate())
        opener->invoiceReferenceNumberUpdated(reference);
}

std::shared_ptr<InvoiceReferenceNumberView> ReadOnlyInvoiceReferenceNumberViewController::makeOverlay()
{
    return ReadOnlyInvoiceReferenceNumberView::make(invoiceReferenceNumber(),
        std::static_pointer_cast<InvoiceReferenceNumberViewController>(shared_from_this()),
        referenceSystem());
}

}
