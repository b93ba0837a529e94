#include "Zorvik/ViewControllers/PinViewController/CreatePinViewController.h"

#include "Zorvik/ViewControllers/Transitions/Animations/InstantViewControllerTransition.h"

#include <utility>

namespace zorvik {

CreatePinViewController::CreatePinViewController(std::string username)
    : PinViewController(std::move(username))
{
}

std::shared_ptr<platform::ui::TransitionAnimator> CreatePinViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

std::shared_ptr<platform::ui::TransitionAnimator> CreatePinViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

}
