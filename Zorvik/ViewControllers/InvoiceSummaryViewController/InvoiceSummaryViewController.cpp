#include "Zorvik/ViewControllers/InvoiceSummaryViewController/InvoiceSummaryViewController.h"

#include "Zorvik/Controllers/InvoiceSummaryController/InvoiceSummaryController.h"
#include "Zorvik/Views/InvoiceSummaryView/InvoiceSummaryView.h"
#include "platform/ui/NavigationController.h"

namespace zorvik {

InvoiceSummaryViewController::InvoiceSummaryViewController(platform::foundation::ArrayRef invoices)
    : m_invoices(std::move(invoices))
{
}

void InvoiceSummaryViewController::loadView()
{
    m_view = InvoiceSummaryView::make(m_invoices);
    m_controller = InvoiceSummaryController::make(m_view, navigationController());
    setView(m_view);
}

void InvoiceSummaryViewController::viewDidLoad()
{
    platform::ui::ViewController::viewDidLoad();
    setNeedsStatusBarAppearanceUpdate();
}

}
