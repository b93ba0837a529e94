#include "Zorvik/ViewControllers/CompanySummaryViewControllers/ConfirmBusinessViewController.h"

#include "Zorvik/Views/ConfirmBusinessView/ConfirmBusinessView.h"

namespace zorvik {

void ConfirmBusinessViewController::loadView()
{
    auto view = ConfirmBusinessView::make(business());
    view->setController(std::weak_ptr<ContentViewController>(
        std::static_pointer_cast<ContentViewController>(shared_from_this())));
    setView(view);
    showViewWithoutLogo();
}

}
