#include "Zorvik/ViewControllers/PinViewController/PinViewController.h"

#include "Zorvik/Controllers/PinController/PinControllerProtocol.h"
#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/Views/PinView/PinView.h"

#include <stdexcept>
#include <utility>

namespace zorvik {

PinViewController::PinViewController(std::string username)
    : m_username(std::move(username))
{
}

void PinViewController::loadView()
{
    auto view = PinView::make();
    m_controller = createControllerWithView(view);
    setView(view);
}

platform::ui::StatusBarStyle PinViewController::preferredStatusBarStyle() const
{
    return platform::ui::StatusBarStyle::LightContent;
}

std::shared_ptr<NoHistoryNavigationController> PinViewController::noHistoryNavigationController() const
{
    auto navigation = std::dynamic_pointer_cast<NoHistoryNavigationController>(navigationController());
    if (!navigation)
        throw std::logic_error(className() + " is built off the app's NoHistoryNavigationController");
    return navigation;
}

}
