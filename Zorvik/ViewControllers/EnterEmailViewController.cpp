#include "Zorvik/ViewControllers/EnterEmailViewController.h"

#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"

namespace zorvik {

std::shared_ptr<platform::ui::TransitionAnimator> EnterEmailViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> EnterEmailViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

}
