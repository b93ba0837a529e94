#pragma once

#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewProtocols.h"
#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/ui/WebView.h"

#include <memory>
#include <string>

namespace zorvik {

class LoadingView;
class NavigationBar;

/// The invoice preview (nib "InvoicePreviewView"): a bar titled "Invoice preview" with a down chevron that
/// closes it, and a web view showing the invoice's page (InvoicePreviewPage) read from the Documents
/// folder. A spinner turns from the start of a load until it ends, whether the page came or not; a page
/// that cannot be made or loaded is replaced by a short error page.
class InvoicePreviewView : public XibViewObjcmb,
                           public NavigationBarDelegate,
                           public platform::ui::WebViewDelegate,
                           public InvoicePreviewDelegate {
public:
    /// An empty view; make one with make().
    InvoicePreviewView();
    /// A view of its nib's size, its bar set up, showing no page.
    static std::shared_ptr<InvoicePreviewView> make();

    std::string className() const override { return "InvoicePreviewView"; }

    /// The screen told when the user closes the preview, or null.
    std::shared_ptr<InvoicePreviewControllerProtocol> controller() const { return m_controller.lock(); }
    /// Sets the screen, held weakly.
    void setController(const std::weak_ptr<InvoicePreviewControllerProtocol>& controller)
    {
        m_controller = controller;
    }

    /// Builds the page of `invoice` from the Documents folder's template files and loads it without base
    /// URL; when a file cannot be read, loads the error page instead.
    void loadWebViewWithInvoice(const platform::foundation::DictionaryRef& invoice) override;

    /// The down chevron: the controller's navigateBack().
    void negativePressed() override;

    void didStartLoad(platform::ui::WebView&) override;
    void didFinishLoad(platform::ui::WebView&) override;
    /// Ends the busy state and shows the error page (once: a failing error page leaves the view as it is).
    void didFailLoad(platform::ui::WebView&, const platform::ui::WebLoadError& error) override;

    /// Shows the black spinner over the page.
    void showBusyView();
    /// Stops and hides the spinner.
    void hideBusyView();

    const std::shared_ptr<platform::ui::WebView>& webView() const { return m_webView; }
    const std::shared_ptr<NavigationBar>& navigationBar() const { return m_navigationBar; }
    const std::shared_ptr<LoadingView>& loadingView() const { return m_loadingView; }
    const std::shared_ptr<platform::ui::View>& spinnerContainer() const { return m_spinnerContainer; }

protected:
    void construct() override;

private:
    std::weak_ptr<InvoicePreviewControllerProtocol> m_controller;
    std::shared_ptr<platform::ui::WebView> m_webView;
    std::shared_ptr<NavigationBar> m_navigationBar;
    std::shared_ptr<LoadingView> m_loadingView;
    std::shared_ptr<platform::ui::View> m_spinnerContainer;
    bool m_showingError { false };
};

/// Registers the nib "InvoicePreviewView" and the class.
void registerInvoicePreviewViewNib();

}
