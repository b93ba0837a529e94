#include "Zorvik/ViewControllers/PinViewController/ConfirmPinViewController.h"

#include "Zorvik/Controllers/PinController/ConfirmPinController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/Views/PinView/FailedPinAttemptView.h"
#include "Zorvik/Views/PinView/PinViewProtocol.h"
#include "platform/ui/Image.h"

#include <utility>

namespace zorvik {

ConfirmPinViewController::ConfirmPinViewController(std::string username, std::string createdPin)
    : PinViewController(std::move(username))
    , m_pin(std::move(createdPin))
{
}

std::shared_ptr<PinControllerProtocol> ConfirmPinViewController::createControllerWithView(
    const std::shared_ptr<PinViewProtocol>& view)
{
    view->setInformationView(FailedPinAttemptView::make(platform::ui::Image::named("IconLock"), kPrompt));
    auto controller
        = std::make_shared<ConfirmPinController>(m_pin, username(), view, noHistoryNavigationController());
    view->setController(controller);
    return controller;
}

std::shared_ptr<platform::ui::TransitionAnimator> ConfirmPinViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> ConfirmPinViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

}
