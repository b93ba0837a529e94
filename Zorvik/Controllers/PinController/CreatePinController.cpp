#include "Zorvik/Controllers/PinController/CreatePinController.h"

#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/PinViewController/ConfirmPinViewController.h"
#include "Zorvik/Views/PinView/PinViewProtocol.h"

namespace zorvik {

void CreatePinController::pinEntered(const std::string& pin)
{
    auto self = shared_from_this();
    view()->clearPin();
    if (auto navigation = navigationController())
        navigation->pushNoHistoryViewController(
            std::make_shared<ConfirmPinViewController>(username(), pin), false);
}

}
