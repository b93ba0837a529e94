#include "Zorvik/Controllers/EnterEmailController/EnterEmailController.h"

#include "Zorvik/ViewControllers/PinViewController/CreatePinViewController.h"
#include "Zorvik/ViewControllers/PinViewController/LoginWithPinViewController.h"
#include "platform/ui/NavigationController.h"

#include <utility>

namespace zorvik {

EnterEmailController::EnterEmailController(std::shared_ptr<EnterEmailViewProtocol> view,
    const std::shared_ptr<platform::ui::NavigationController>& navigationController)
    : m_view(std::move(view))
    , m_navigationController(navigationController)
{
}

std::string EnterEmailController::message() const
{
    return "";
}

void EnterEmailController::emailEntered(const std::string& email)
{
    auto self = shared_from_this();
    if (auto navigation = m_navigationController.lock())
        navigation->pushViewController(nextViewControllerWithEmail(email), true);
}

void EnterEmailController::navigateBack()
{
    auto self = shared_from_this();
    if (auto navigation = m_navigationController.lock())
        navigation->popViewController(true);
}

std::string LoginWithEmailController::message() const
{
    return "Welcome back!";
}

std::shared_ptr<platform::ui::ViewController> LoginWithEmailController::nextViewControllerWithEmail(
    const std::string& email)
{
    return std::make_shared<LoginWithPinViewController>(email, true);
}

std::string SignUpWithEmailController::message() const
{
    return "Nice to meet you!";
}

std::shared_ptr<platform::ui::ViewController> SignUpWithEmailController::nextViewControllerWithEmail(
    const std::string& email)
{
    return std::make_shared<CreatePinViewController>(email);
}

}
