#include "Zorvik/ViewControllers/PinViewController/CreatePinViewController.h"

#include "Zorvik/Controllers/PinController/CreatePinController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/InstantViewControllerTransition.h"
#include "Zorvik/Views/PinView/FailedPinAttemptView.h"
#include "Zorvik/Views/PinView/PinViewProtocol.h"
#include "platform/ui/Image.h"

#include <utility>

namespace zorvik {

CreatePinViewController::CreatePinViewController(std::string username)
    : PinViewController(std::move(username))
{
}

std::shared_ptr<PinControllerProtocol> CreatePinViewController::createControllerWithView(
    const std::shared_ptr<PinViewProtocol>& view)
{
    view->setInformationView(FailedPinAttemptView::make(platform::ui::Image::named("IconLock"), kPrompt));
    auto controller
        = std::make_shared<CreatePinController>(username(), view, noHistoryNavigationController());
    view->setController(controller);
    return controller;
}

std::shared_ptr<platform::ui::TransitionAnimator> CreatePinViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

std::shared_ptr<platform::ui::TransitionAnimator> CreatePinViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

}
