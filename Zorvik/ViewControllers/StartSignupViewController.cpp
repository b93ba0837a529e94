#include "Zorvik/ViewControllers/StartSignupViewController.h"

#include "Zorvik/ViewControllers/Transitions/Animations/FadeViewControllerTransition.h"

namespace zorvik {

StartSignupViewController::StartSignupViewController() = default;

std::shared_ptr<platform::ui::TransitionAnimator> StartSignupViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<FadeViewControllerTransition>(0.4);
}

std::shared_ptr<platform::ui::TransitionAnimator> StartSignupViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<FadeViewControllerTransition>(0.4);
}

}
