#pragma once

#include "Zorvik/Views/InvoiceSummaryView/InvoiceSummaryViewProtocol.h"
#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/foundation/Value.h"

#include <memory>
#include <string>

namespace platform::ui {
class ImageView;
}

namespace zorvik {

class InvoiceSummaryContentView;
class NavigationBar;

/// The invoice summary (layout "InvoiceSummaryView"): the off-centre bubble background of the screen's
/// height, a bar with only "close", and the three totals of the invoices it was made with.
class InvoiceSummaryView : public XibViewObjcmb,
                           public InvoiceSummaryViewProtocol,
                           public NavigationBarDelegate {
public:
    InvoiceSummaryView();

    /// The summary of `invoices`, their totals counting up at once.
    static std::shared_ptr<InvoiceSummaryView> make(const platform::foundation::ArrayRef& invoices);

    std::string className() const override { return "InvoiceSummaryView"; }

    std::shared_ptr<InvoiceSummaryControllerProtocol> controller() const override
    {
        return m_controller.lock();
    }
    void setController(const std::weak_ptr<InvoiceSummaryControllerProtocol>& controller) override
    {
        m_controller = controller;
    }

    /// Shows "BackgroundOffCentreBubble" in its variant for the screen's height.
    void setupBackground();
    /// "close": the controller's navigateBack().
    void positivePressed() override;
    bool implementsPositivePressed() const override { return true; }
    /// Nothing: the bar has no left button.
    void negativePressed() override { }

    const std::shared_ptr<NavigationBar>& navigationBar() const { return m_navigationBar; }
    const std::shared_ptr<InvoiceSummaryContentView>& summaryContentView() const
    {
        return m_summaryContentView;
    }
    const std::shared_ptr<platform::ui::ImageView>& bgImageView() const { return m_bgImageView; }

protected:
    void construct() override;

private:
    std::weak_ptr<InvoiceSummaryControllerProtocol> m_controller;
    std::shared_ptr<NavigationBar> m_navigationBar;
    std::shared_ptr<InvoiceSummaryContentView> m_summaryContentView;
    std::shared_ptr<platform::ui::ImageView> m_bgImageView;
};

/// Registers the layouts "InvoiceSummaryView" and "InvoiceSummaryContentView" and the content view's class.
void registerInvoiceSummaryNibs();

}
