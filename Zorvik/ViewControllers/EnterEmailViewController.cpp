#include "Zorvik/ViewControllers/EnterEmailViewController.h"

#include "Zorvik/Controllers/EnterEmailController/EnterEmailController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/Views/EnterEmailView/EnterEmailView.h"
#include "platform/ui/NavigationController.h"

#include <stdexcept>

namespace zorvik {

namespace {

std::shared_ptr<platform::ui::NavigationController> requireNavigation(
    const platform::ui::ViewController& screen)
{
    auto navigation = screen.navigationController();
    if (!navigation)
        throw std::logic_error(screen.className() + " is built off a navigation controller");
    return navigation;
}

}

void EnterEmailViewController::loadView()
{
    auto view = EnterEmailView::make();
    m_controller = createControllerWithView(view);
    setView(view);
}

void EnterEmailViewController::viewDidLoad()
{
    setNeedsStatusBarAppearanceUpdate();
}

void EnterEmailViewController::viewDidAppear(bool)
{
    enterEmailView()->becomeFirstResponder();
}

platform::ui::StatusBarStyle EnterEmailViewController::preferredStatusBarStyle() const
{
    return platform::ui::StatusBarStyle::LightContent;
}

std::shared_ptr<EnterEmailView> EnterEmailViewController::enterEmailView()
{
    return std::dynamic_pointer_cast<EnterEmailView>(view());
}

std::shared_ptr<platform::ui::TransitionAnimator> EnterEmailViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> EnterEmailViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

std::shared_ptr<EnterEmailControllerProtocol> LoginWithEmailViewController::createControllerWithView(
    const std::shared_ptr<EnterEmailView>& view)
{
    return EnterEmailController::make<LoginWithEmailController>(view, requireNavigation(*this));
}

std::shared_ptr<EnterEmailControllerProtocol> SignUpWithEmailViewController::createControllerWithView(
    const std::shared_ptr<EnterEmailView>& view)
{
    return EnterEmailController::make<SignUpWithEmailController>(view, requireNavigation(*this));
}

}
