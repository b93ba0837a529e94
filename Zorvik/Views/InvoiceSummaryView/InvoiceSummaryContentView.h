#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zorvik {

class CurrencyAnimation;
class CurrencyLabel;

/// The three totals of the invoice summary (layout "InvoiceSummaryContentView"): paid (the Done invoices),
/// outstanding (the To-Do ones) and late (the To-Do ones past their term, part of the outstanding total).
/// Each label counts up from £0.00 to its total over 0.5 s once the invoices are set, all three together.
class InvoiceSummaryContentView : public XibViewObjcmb {
public:
    /// The totals of a list of invoices, in whole pence.
    struct Totals {
        std::int64_t paid { 0 };
        std::int64_t outstanding { 0 };
        std::int64_t late { 0 };
    };

    InvoiceSummaryContentView();

    std::string className() const override { return "InvoiceSummaryContentView"; }

    /// Each invoice counts with its gross amount as its row shows it (its line items' total when it has
    /// some); a To-Do invoice is late as the invoice rows say so, from the day after its 30-day term on the
    /// device's calendar, and never without a readable sending date.
    static Totals totals(const platform::foundation::ArrayRef& invoices);

    /// Keeps `invoices`, works out their totals and starts the three counts.
    void setInvoices(const platform::foundation::ArrayRef& invoices);
    /// Starts the paid, outstanding and late counts, in that order.
    void animateSummary();

    const platform::foundation::ArrayRef& invoices() const { return m_invoices; }
    const std::shared_ptr<CurrencyLabel>& totalCurrency() const { return m_totalCurrency; }
    const std::shared_ptr<CurrencyLabel>& outstandingCurrency() const { return m_outstandingCurrency; }
    const std::shared_ptr<CurrencyLabel>& lateCurrency() const { return m_lateCurrency; }

private:
    platform::foundation::ArrayRef m_invoices;
    std::shared_ptr<CurrencyLabel> m_totalCurrency;
    std::shared_ptr<CurrencyLabel> m_outstandingCurrency;
    std::shared_ptr<CurrencyLabel> m_lateCurrency;
    std::shared_ptr<CurrencyAnimation> m_totalAnimation;
    std::shared_ptr<CurrencyAnimation> m_outstandingAnimation;
    std::shared_ptr<CurrencyAnimation> m_lateAnimation;
};

/// Registers the class and layout "InvoiceSummaryContentView".
void registerInvoiceSummaryContentViewNib();

}
