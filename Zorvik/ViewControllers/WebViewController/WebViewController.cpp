#include "Zorvik/ViewControllers/WebViewController/WebViewController.h"

#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NibRegistry.h"

#include <utility>

namespace zorvik {

using platform::ui::AlertAction;
using platform::ui::AlertActionStyle;
using platform::ui::AlertController;
using platform::ui::AlertControllerStyle;

WebViewController::WebViewController(std::string urlString)
    : m_urlString(std::move(urlString))
{
    declareOutlet("webView", m_webView);
    declareOutlet("loadingView", m_loadingView);
    declareOutlet("spinnerContainer", m_spinnerContainer);
}

void WebViewController::loadView()
{
    setView(platform::ui::NibRegistry::load("WebView", this).front());
}

void WebViewController::viewDidLoad()
{
    m_webView->setDelegate(std::dynamic_pointer_cast<platform::ui::WebViewDelegate>(shared_from_this()));
    setNeedsStatusBarAppearanceUpdate();
    m_webView->loadURL(m_urlString);
}

platform::ui::StatusBarStyle WebViewController::preferredStatusBarStyle() const
{
    return platform::ui::StatusBarStyle::LightContent;
}

void WebViewController::didStartLoad(platform::ui::WebView&)
{
    showBusyView();
}

void WebViewController::didFinishLoad(platform::ui::WebView&)
{
    hideBusyView();
}

void WebViewController::didFailLoad(platform::ui::WebView&, const platform::ui::WebLoadError&)
{
    hideBusyView();
    auto alert = std::make_shared<AlertController>(kFailureTitle, std::nullopt, AlertControllerStyle::Alert);
    std::weak_ptr<ViewController> weakSelf = shared_from_this();
    alert->addAction(
        std::make_shared<AlertAction>(kGoBack, AlertActionStyle::Default, [weakSelf](AlertAction&) {
            auto self = weakSelf.lock();
            if (auto navigation = self ? self->navigationController() : nullptr)
                navigation->popViewController(true);
        }));
    presentViewController(alert, true);
}

void WebViewController::showBusyView()
{
    auto spinner = m_loadingView.lock();
    m_spinnerContainer.lock()->setHidden(false);
    spinner->setSpinnerColour(platform::ui::Color::black());
    spinner->setHidden(false);
    spinner->beginAnimation();
}

void WebViewController::hideBusyView()
{
    auto spinner = m_loadingView.lock();
    spinner->endAnimation();
    m_spinnerContainer.lock()->setHidden(true);
    spinner->setHidden(true);
}

}
