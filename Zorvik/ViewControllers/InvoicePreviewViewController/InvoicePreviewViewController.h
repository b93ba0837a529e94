#pragma once

#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewProtocols.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class InvoicePreviewView;

/// The HTML preview screen of an invoice: the create-invoice form opens it for the invoice being written,
/// the read-only invoice screen for a sent one. The opener pushes it, animated.
class InvoicePreviewViewController : public platform::ui::ViewController,
                                     public InvoicePreviewControllerProtocol {
public:
    /// A preview of `invoice` (the record as the opener built it, shown whole).
    explicit InvoicePreviewViewController(platform::foundation::DictionaryRef invoice);

    std::string className() const override { return "InvoicePreviewViewController"; }

    /// The preview view, with this screen as its controller and the view as this screen's delegate.
    void loadView() override;
    /// Asks the view to load the invoice's page.
    void viewDidLoad() override;
    /// Light content.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override
    {
        return platform::ui::StatusBarStyle::LightContent;
    }

    /// Pops this screen, animated.
    void navigateBack() override;

    const platform::foundation::DictionaryRef& invoice() const { return m_invoice; }
    /// The view, once loaded.
    const std::shared_ptr<InvoicePreviewView>& invoicePreviewView() const { return m_invoicePreviewView; }
    /// Who loads the page: the view.
    std::shared_ptr<InvoicePreviewDelegate> delegate() const { return m_delegate.lock(); }

private:
    platform::foundation::DictionaryRef m_invoice;
    std::shared_ptr<InvoicePreviewView> m_invoicePreviewView;
    std::weak_ptr<InvoicePreviewDelegate> m_delegate;
};

}
