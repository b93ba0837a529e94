#include "Zorvik/Controllers/PinController/PinController.h"

#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/Views/PinView/PinViewProtocol.h"

#include <utility>

namespace zorvik {

PinController::PinController(std::string username, std::shared_ptr<PinViewProtocol> view,
    const std::shared_ptr<NoHistoryNavigationController>& navigationController)
    : m_username(std::move(username))
    , m_view(std::move(view))
    , m_navigationController(navigationController)
{
}

void PinController::navigateBack()
{
    auto self = shared_from_this();
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}

}
