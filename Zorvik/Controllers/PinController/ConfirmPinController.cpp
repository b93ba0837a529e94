#include "Zorvik/Controllers/PinController/ConfirmPinController.h"

#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/RegisterCompanyViewController.h"
#include "Zorvik/Views/PinView/FailedPinAttemptView.h"
#include "Zorvik/Views/PinView/PinViewProtocol.h"
#include "platform/ui/Image.h"

#include <utility>

namespace zorvik {

ConfirmPinController::ConfirmPinController(std::string pin, std::string username,
    std::shared_ptr<PinViewProtocol> view,
    const std::shared_ptr<NoHistoryNavigationController>& navigationController)
    : PinController(std::move(username), std::move(view), navigationController)
    , m_pin(std::move(pin))
{
}

void ConfirmPinController::pinEntered(const std::string& pin)
{
    auto self = shared_from_this();
    view()->clearPin();
    if (pin != m_pin) {
        view()->showErrorView(
            FailedPinAttemptView::make(platform::ui::Image::named("IconWarning"), kMismatchText));
        return;
    }
    if (auto navigation = navigationController())
        navigation->pushViewController(
            std::make_shared<RegisterCompanyViewController>(username(), pin), true);
}

}
