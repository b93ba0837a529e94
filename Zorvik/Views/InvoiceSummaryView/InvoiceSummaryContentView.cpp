#include "Zorvik/Views/InvoiceSummaryView/InvoiceSummaryContentView.h"

#include "Zorvik/Models/InvoiceState.h"
#include "Zorvik/Views/CurrencyControls/CurrencyAnimation.h"
#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "ZorvikAPI/filters/DoneFilter.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/Screen.h"

#include <mutex>

namespace zorvik {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Label;
using platform::ui::Rect;
using platform::ui::TextAlignment;

InvoiceSummaryContentView::InvoiceSummaryContentView()
{
    declareOutlet("totalCurrency", m_totalCurrency);
    declareOutlet("outstandingCurrency", m_outstandingCurrency);
    declareOutlet("lateCurrency", m_lateCurrency);
}

InvoiceSummaryContentView::Totals InvoiceSummaryContentView::totals(
    const platform::foundation::ArrayRef& invoices)
{
    Totals sums;
    if (!invoices)
        return sums;
    for (const auto& value : invoices->values()) {
        auto record = value.dictionary();
        if (!record)
            continue;
        api::Invoice invoice(record);
        auto gross = invoice.grossAmount();
        if (api::DoneFilter::isInvoiceDone(invoice)) {
            sums.paid += gross;
            continue;
        }
        sums.outstanding += gross;
        if (InvoiceState::isLate(invoice))
            sums.late += gross;
    }
    return sums;
}

void InvoiceSummaryContentView::setInvoices(const platform::foundation::ArrayRef& invoices)
{
    m_invoices = invoices;
    auto sums = totals(invoices);
    m_totalAnimation = CurrencyAnimation::make(m_totalCurrency, sums.paid);
    m_outstandingAnimation = CurrencyAnimation::make(m_outstandingCurrency, sums.outstanding);
    m_lateAnimation = CurrencyAnimation::make(m_lateCurrency, sums.late);
    animateSummary();
}

void InvoiceSummaryContentView::animateSummary()
{
    m_totalAnimation->start();
    m_outstandingAnimation->start();
    m_lateAnimation->start();
}

namespace {

// One total: its caption over its amount, centred in white.
void addTotal(platform::ui::NibBuilder& nib, const std::shared_ptr<platform::ui::View>& root, double y,
    const char* caption, const char* outlet)
{
    double width = root->frame().width();
    auto title = std::make_shared<Label>(Rect { 0, y, width, 24 });
    title->setText(std::string(caption));
    title->setFont(Font::named("OpenSans", 16).value());
    title->setTextColor(Color::white());
    title->setTextAlignment(TextAlignment::Center);
    root->addSubview(title);

    auto amount = nib.custom<CurrencyLabel>("CurrencyLabel", { 0, y + 26, width, 44 });
    amount->setFont(Font::named("OpenSans-SemiBold", 36).value());
    amount->setTextColor(Color::white());
    amount->setTextAlignment(TextAlignment::Center);
    amount->setAmount(0);
    root->addSubview(amount);
    nib.outlet(outlet, amount);
}

}

void registerInvoiceSummaryContentViewNib()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        platform::ui::NibRegistry::registerClass(
            "InvoiceSummaryContentView", XibViewObjcmb::fromNib<InvoiceSummaryContentView>);
        platform::ui::NibRegistry::registerNib(
            "InvoiceSummaryContentView", [](platform::ui::NibBuilder& nib) {
                auto root = nib.topLevel(std::make_shared<platform::ui::View>(
                    Rect { 0, 0, platform::ui::Screen::main().bounds().width(), 300 }));
                addTotal(nib, root, 10, "Paid", "totalCurrency");
                addTotal(nib, root, 110, "Outstanding", "outstandingCurrency");
                addTotal(nib, root, 210, "Late", "lateCurrency");
            });
    });
}

}
