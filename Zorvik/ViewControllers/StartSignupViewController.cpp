#include "Zorvik/ViewControllers/StartSignupViewController.h"

#include "Zorvik/Controllers/StartSignUpController/StartSignUpController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/FadeViewControllerTransition.h"
#include "Zorvik/Views/StartSignupView/StartSignupView.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

#include <stdexcept>

namespace zorvik {

StartSignupViewController::StartSignupViewController() = default;

void StartSignupViewController::loadView()
{
    auto navigation = navigationController();
    if (!navigation)
        throw std::logic_error("StartSignupViewController is built off a navigation controller");
    auto view = StartSignupView::make();
    m_controller = StartSignUpController::make(view, navigation, platform::ui::Application::shared());
    setView(view);
}

void StartSignupViewController::viewDidLoad()
{
    setNeedsStatusBarAppearanceUpdate();
}

platform::ui::StatusBarStyle StartSignupViewController::preferredStatusBarStyle() const
{
    return platform::ui::StatusBarStyle::LightContent;
}

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
