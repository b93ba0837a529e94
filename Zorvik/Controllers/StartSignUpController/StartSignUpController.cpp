#include "Zorvik/Controllers/StartSignUpController/StartSignUpController.h"

#include "Zorvik/Models/BuildSettings.h"
#include "Zorvik/ViewControllers/EnterEmailViewController.h"
#include "Zorvik/Views/StartSignupView/StartSignupView.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

namespace zorvik {

std::shared_ptr<StartSignUpController> StartSignUpController::make(
    const std::shared_ptr<StartSignupView>& view,
    const std::shared_ptr<platform::ui::NavigationController>& navigationController,
    platform::ui::Application& application)
{
    auto controller = std::make_shared<StartSignUpController>(navigationController, application);
    view->setController(controller);
    return controller;
}

StartSignUpController::StartSignUpController(
    const std::shared_ptr<platform::ui::NavigationController>& navigationController,
    platform::ui::Application& application)
    : m_navigationController(navigationController)
    , m_application(application)
{
}

void StartSignUpController::userWantsToSignUp()
{
    if (auto navigation = m_navigationController.lock())
        navigation->pushViewController(std::make_shared<SignUpWithEmailViewController>(), true);
}

void StartSignUpController::userWantsToLogin()
{
    if (auto navigation = m_navigationController.lock())
        navigation->pushViewController(std::make_shared<LoginWithEmailViewController>(), true);
}

void StartSignUpController::userWantsToSeeTerms()
{
    m_application.openURL(BuildSettings::siteUrl() + kTermsPath);
}

}
