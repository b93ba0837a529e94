#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class InvoiceSummaryController;
class InvoiceSummaryView;

/// The invoice summary screen: what the business has been paid, what is outstanding and what of that is
/// late, over the invoices it was opened with, counted once when it opens. "close" pops it.
class InvoiceSummaryViewController : public platform::ui::ViewController {
public:
    /// The summary of `invoices` (the business's invoice list).
    explicit InvoiceSummaryViewController(platform::foundation::ArrayRef invoices);

    std::string className() const override { return "InvoiceSummaryViewController"; }

    /// Makes the summary view and its controller, which closes the screen through the navigation
    /// controller.
    void loadView() override;
    /// Refreshes the status bar.
    void viewDidLoad() override;
    /// Light content.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override
    {
        return platform::ui::StatusBarStyle::LightContent;
    }

    const platform::foundation::ArrayRef& invoices() const { return m_invoices; }
    /// The controller, once the view is loaded.
    const std::shared_ptr<InvoiceSummaryController>& controller() const { return m_controller; }
    /// The view, once loaded.
    const std::shared_ptr<InvoiceSummaryView>& summaryView() const { return m_view; }

private:
    platform::foundation::ArrayRef m_invoices;
    std::shared_ptr<InvoiceSummaryView> m_view;
    std::shared_ptr<InvoiceSummaryController> m_controller;
};

}
