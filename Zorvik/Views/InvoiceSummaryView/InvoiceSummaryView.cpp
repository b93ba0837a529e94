#include "Zorvik/Views/InvoiceSummaryView/InvoiceSummaryView.h"

#include "Zorvik/Controllers/InvoiceSummaryController/InvoiceSummaryControllerProtocol.h"
#include "Zorvik/UIKitExtensions/FullscreenImage.h"
#include "Zorvik/Views/InvoiceSummaryView/InvoiceSummaryContentView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "platform/foundation/Array.h"
#include "platform/ui/AttributedString.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/Screen.h"

#include <mutex>

namespace zorvik {

using platform::ui::Rect;

InvoiceSummaryView::InvoiceSummaryView()
{
    declareOutlet("navigationBar", m_navigationBar);
    declareOutlet("summaryContentView", m_summaryContentView);
    declareOutlet("bgImageView", m_bgImageView);
}

std::shared_ptr<InvoiceSummaryView> InvoiceSummaryView::make(const platform::foundation::ArrayRef& invoices)
{
    auto view = create<InvoiceSummaryView>();
    platform::ui::TextAttributes attributes;
    attributes.font = platform::ui::Font::named("OpenSans", 16);
    view->m_navigationBar->setPositiveButtonText(platform::ui::AttributedString("close", attributes));
    view->m_navigationBar->hideNegativeButton();
    view->m_navigationBar->setObserver(std::static_pointer_cast<NavigationBarDelegate>(view));
    view->m_summaryContentView->setInvoices(invoices);
    return view;
}

void InvoiceSummaryView::construct()
{
    XibViewObjcmb::construct();
    setupBackground();
}

void InvoiceSummaryView::setupBackground()
{
    m_bgImageView->setImage(FullscreenImage::fullscreen("BackgroundOffCentreBubble"));
}

void InvoiceSummaryView::positivePressed()
{
    if (auto listener = controller())
        listener->navigateBack();
}

void registerInvoiceSummaryNibs()
{
    registerInvoiceSummaryContentViewNib();
    static std::once_flag registered;
    std::call_once(registered, [] {
        platform::ui::NibRegistry::registerClass("InvoiceSummaryView", {},
            [] { return InvoiceSummaryView::make(platform::foundation::Array::make()); });
        platform::ui::NibRegistry::registerNib("InvoiceSummaryView", [](platform::ui::NibBuilder& nib) {
            auto bounds = platform::ui::Screen::main().bounds();
            double width = bounds.width();
            auto root = nib.topLevel(std::make_shared<platform::ui::View>(bounds));

            auto background = std::make_shared<platform::ui::ImageView>(bounds);
            root->addSubview(background);
            nib.outlet("bgImageView", background);

            auto bar = nib.custom("NavigationBar", { 0, 0, width, 64 });
            root->addSubview(bar);
            nib.outlet("navigationBar", bar);

            auto totals = nib.custom("InvoiceSummaryContentView", { 0, 100, width, 300 });
            root->addSubview(totals);
            nib.outlet("summaryContentView", totals);
        });
    });
}

}
