#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/InvoiceRecipientSelectedViewController.h"

#include "Zorvik/ViewControllers/Transitions/Animations/InstantViewControllerTransition.h"

namespace zorvik {

std::shared_ptr<platform::ui::TransitionAnimator> InvoiceRecipientSelectedViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

std::shared_ptr<platform::ui::TransitionAnimator> InvoiceRecipientSelectedViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

}
