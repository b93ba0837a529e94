#include "Zorvik/ViewControllers/PinViewController/LoginWithPinViewController.h"

#include "Zorvik/Controllers/PinController/LoginWithPinController.h"
#include "Zorvik/Views/PinView/LogoAndPromptView.h"
#include "Zorvik/Views/PinView/PinViewProtocol.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <utility>

namespace zorvik {

LoginWithPinViewController::LoginWithPinViewController(std::string username, bool showBackButton)
    : PinViewController(std::move(username))
    , m_showBackButton(showBackButton)
{
}

std::shared_ptr<PinControllerProtocol> LoginWithPinViewController::createControllerWithView(
    const std::shared_ptr<PinViewProtocol>& view)
{
    if (XibViewObjcmb::isSmallIPhone())
        view->setInformationView(LogoAndPromptView4::make(kPrompt));
    else
        view->setInformationView(LogoAndPromptView::make(kPrompt));
    if (!m_showBackButton)
        view->hideBackButton();
    auto controller
        = std::make_shared<LoginWithPinController>(username(), view, noHistoryNavigationController());
    view->setController(controller);
    return controller;
}

}
