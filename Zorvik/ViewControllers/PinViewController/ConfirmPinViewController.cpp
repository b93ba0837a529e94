#include "Zorvik/ViewControllers/PinViewController/ConfirmPinViewController.h"

#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"

#include <utility>

namespace zorvik {

ConfirmPinViewController::ConfirmPinViewController(std::string username, std::string createdPin)
    : PinViewController(std::move(username))
    , m_pin(std::move(createdPin))
{
}

std::shared_ptr<platform::ui::TransitionAnimator> ConfirmPinViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> ConfirmPinViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

}
