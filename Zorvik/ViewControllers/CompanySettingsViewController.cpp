#include "Zorvik/ViewControllers/CompanySettingsViewController.h"

#include "Zorvik/ViewControllers/StartSignupViewController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/FadeViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"

namespace zorvik {

std::shared_ptr<platform::ui::TransitionAnimator> CompanySettingsViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>& pushed)
{
    if (std::dynamic_pointer_cast<StartSignupViewController>(pushed))
        return std::make_shared<FadeViewControllerTransition>(0.4);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> CompanySettingsViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

}
