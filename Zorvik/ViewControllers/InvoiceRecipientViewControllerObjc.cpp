#include "Zorvik/ViewControllers/InvoiceRecipientViewControllerObjc.h"

#include "Zorvik/ViewControllers/Transitions/Animations/InstantViewControllerTransition.h"

namespace zorvik {

std::shared_ptr<platform::ui::TransitionAnimator> InvoiceRecipientViewControllerObjc::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

std::shared_ptr<platform::ui::TransitionAnimator> InvoiceRecipientViewControllerObjc::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

}
