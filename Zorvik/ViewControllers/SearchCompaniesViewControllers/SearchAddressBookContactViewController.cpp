#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchAddressBookContactViewController.h"

#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"

namespace zorvik {

std::shared_ptr<platform::ui::TransitionAnimator> SearchAddressBookContactViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<VerticalViewControllerTransition>(
        VerticalViewControllerTransitionAction::RiseOver);
}

std::shared_ptr<platform::ui::TransitionAnimator> SearchAddressBookContactViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<VerticalViewControllerTransition>(
        VerticalViewControllerTransitionAction::RiseAway);
}

}
