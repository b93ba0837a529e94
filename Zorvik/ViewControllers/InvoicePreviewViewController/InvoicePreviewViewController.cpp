#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewViewController.h"

#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewView.h"
#include "platform/ui/NavigationController.h"

namespace zorvik {

InvoicePreviewViewController::InvoicePreviewViewController(platform::foundation::DictionaryRef invoice)
    : m_invoice(std::move(invoice))
{
}

void InvoicePreviewViewController::loadView()
{
    m_invoicePreviewView = InvoicePreviewView::make();
    m_invoicePreviewView->setController(std::weak_ptr<InvoicePreviewControllerProtocol>(
        std::static_pointer_cast<InvoicePreviewViewController>(shared_from_this())));
    m_delegate = std::weak_ptr<InvoicePreviewDelegate>(m_invoicePreviewView);
    setView(m_invoicePreviewView);
}

void InvoicePreviewViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    setNeedsStatusBarAppearanceUpdate();
    if (auto view = delegate())
        view->loadWebViewWithInvoice(m_invoice);
}

void InvoicePreviewViewController::navigateBack()
{
    auto self = shared_from_this();
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}

}
