#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SelectInvoiceRecipientViewController.h"

#include "Zorvik/ViewControllers/Transitions/Animations/InstantViewControllerTransition.h"

namespace zorvik {

std::shared_ptr<platform::ui::TransitionAnimator> SelectInvoiceRecipientViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

std::shared_ptr<platform::ui::TransitionAnimator> SelectInvoiceRecipientViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

}
