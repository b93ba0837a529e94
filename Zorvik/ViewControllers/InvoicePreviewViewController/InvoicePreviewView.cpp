#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewView.h"

#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewPage.h"
#include "Zorvik/Views/Colours/Colours.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "platform/foundation/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"

namespace zorvik {

InvoicePreviewView::InvoicePreviewView()
{
    declareOutlet("webView", m_webView);
    declareOutlet("navigationBar", m_navigationBar);
    declareOutlet("loadingView", m_loadingView);
    declareOutlet("spinnerContainer", m_spinnerContainer);
}

std::shared_ptr<InvoicePreviewView> InvoicePreviewView::make()
{
    return create<InvoicePreviewView>();
}

void InvoicePreviewView::construct()
{
    XibViewObjcmb::construct();
    auto self = std::static_pointer_cast<InvoicePreviewView>(shared_from_this());
    m_webView->setDelegate(std::weak_ptr<platform::ui::WebViewDelegate>(self));
    m_navigationBar->setText("Invoice preview");
    m_navigationBar->setTitleColour(Colours::teal());
    m_navigationBar->setBackgroundColor(platform::ui::Color::clear());
    m_navigationBar->setObserver(std::weak_ptr<NavigationBarDelegate>(self));
    auto chevron = NavigationBar::standardNegativeButtonTemplate();
    if (auto image = platform::ui::Image::named("IconDownChevron")) {
        chevron->setImage(image);
        chevron->setAccessibilityLabel(image->name());
    }
    m_navigationBar->pushNegativeButton(chevron);
}

void InvoicePreviewView::loadWebViewWithInvoice(const platform::foundation::DictionaryRef& invoice)
{
    auto documents = platform::foundation::Files::documentsDirectory();
    if (!documents) {
        m_webView->loadHTMLString(InvoicePreviewPage::errorPage("There is no Documents folder."));
        return;
    }
    auto page = InvoicePreviewPage::make(platform::foundation::Value(invoice), *documents);
    m_showingError = !page.ok;
    m_webView->loadHTMLString(std::move(page.html));
}

void InvoicePreviewView::negativePressed()
{
    if (auto screen = controller())
        screen->navigateBack();
}

void InvoicePreviewView::didStartLoad(platform::ui::WebView&)
{
    showBusyView();
}

void InvoicePreviewView::didFinishLoad(platform::ui::WebView&)
{
    hideBusyView();
}

void InvoicePreviewView::didFailLoad(platform::ui::WebView& webView, const platform::ui::WebLoadError& error)
{
    hideBusyView();
    if (m_showingError)
        return;
    m_showingError = true;
    webView.loadHTMLString(InvoicePreviewPage::errorPage(error.message));
}

void InvoicePreviewView::showBusyView()
{
    m_spinnerContainer->setHidden(false);
    m_loadingView->setSpinnerColour(platform::ui::Color::black());
    m_loadingView->setHidden(false);
    m_loadingView->beginAnimation();
}

void InvoicePreviewView::hideBusyView()
{
    m_loadingView->endAnimation();
    m_spinnerContainer->setHidden(true);
    m_loadingView->setHidden(true);
}

}
