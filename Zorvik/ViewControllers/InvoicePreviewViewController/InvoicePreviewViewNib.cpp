#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewView.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"

#include <mutex>

namespace zorvik {

using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;

namespace {

constexpr double kBarHeight = 64;
constexpr double kSpinnerSize = 40;

void buildInvoicePreviewView(NibBuilder& nib)
{
    auto bounds = platform::ui::Screen::main().bounds();
    auto root = nib.topLevel(std::make_shared<platform::ui::View>(bounds));
    root->setBackgroundColor(platform::ui::Color::white());

    auto bar = nib.custom("NavigationBar", { 0, 0, bounds.width(), kBarHeight });
    root->addSubview(bar);
    nib.outlet("navigationBar", bar);

    Rect page { 0, kBarHeight, bounds.width(), bounds.height() - kBarHeight };
    auto web = std::make_shared<platform::ui::WebView>(page);
    root->addSubview(web);
    nib.outlet("webView", web);

    auto container = std::make_shared<platform::ui::View>(page);
    container->setBackgroundColor(platform::ui::Color::white());
    container->setHidden(true);
    root->addSubview(container);
    nib.outlet("spinnerContainer", container);

    auto spinner = std::make_shared<LoadingView>(Rect {
        (page.width() - kSpinnerSize) / 2, (page.height() - kSpinnerSize) / 2, kSpinnerSize, kSpinnerSize });
    spinner->setHidden(true);
    container->addSubview(spinner);
    nib.outlet("loadingView", spinner);
}

}

void registerInvoicePreviewViewNib()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerNib("InvoicePreviewView", buildInvoicePreviewView);
        NibRegistry::registerClass("InvoicePreviewView", XibViewObjcmb::fromNib<InvoicePreviewView>);
    });
}

}
