#include "Zorvik/Controllers/InvoiceSummaryController/InvoiceSummaryController.h"

#include "Zorvik/Views/InvoiceSummaryView/InvoiceSummaryViewProtocol.h"
#include "platform/ui/NavigationController.h"

namespace zorvik {

std::shared_ptr<InvoiceSummaryController> InvoiceSummaryController::make(
    const std::shared_ptr<InvoiceSummaryViewProtocol>& view,
    const std::weak_ptr<platform::ui::NavigationController>& navigationController)
{
    auto controller = std::make_shared<InvoiceSummaryController>();
    controller->m_navigationController = navigationController;
    view->setController(controller);
    return controller;
}

void InvoiceSummaryController::navigateBack()
{
    if (auto navigation = m_navigationController.lock())
        navigation->popViewController(true);
}

}
