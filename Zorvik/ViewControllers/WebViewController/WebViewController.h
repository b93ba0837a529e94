#pragma once

#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

#include <memory>
#include <string>

namespace zorvik {

class LoadingView;

/// A screen that shows one web page, laid out by the nib "WebView": the version gate's redirect page. A
/// black spinner turns while the page loads; a page that cannot be loaded shows the alert kFailureTitle
/// whose one button, kGoBack, pops the screen.
class WebViewController : public platform::ui::ViewController, public platform::ui::WebViewDelegate {
public:
    /// The failure alert's title.
    static constexpr const char* kFailureTitle { "Oops! Something went wrong." };
    /// The failure alert's button.
    static constexpr const char* kGoBack { "Go Back" };

    /// A screen for the page at `urlString`.
    explicit WebViewController(std::string urlString);

    std::string className() const override { return "WebViewController"; }

    /// Loads the nib "WebView" with the screen as owner.
    void loadView() override;
    /// Becomes the web view's delegate and loads the page.
    void viewDidLoad() override;
    /// Light content.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override;

    void didStartLoad(platform::ui::WebView& webView) override;
    void didFinishLoad(platform::ui::WebView& webView) override;
    /// Ends the spinner and presents the failure alert, animated.
    void didFailLoad(platform::ui::WebView& webView, const platform::ui::WebLoadError& error) override;

    /// Shows the spinner, black and turning.
    void showBusyView();
    /// Stops and hides the spinner.
    void hideBusyView();

    /// The page's address.
    const std::string& urlString() const { return m_urlString; }
    /// The web view.
    const std::shared_ptr<platform::ui::WebView>& webView() const { return m_webView; }

private:
    std::string m_urlString;
    std::shared_ptr<platform::ui::WebView> m_webView;
    std::weak_ptr<LoadingView> m_loadingView;
    std::weak_ptr<platform::ui::View> m_spinnerContainer;
};

}
