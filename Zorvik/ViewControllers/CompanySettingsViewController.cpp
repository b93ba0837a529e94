#include "Zorvik/ViewControllers/CompanySettingsViewController.h"

#include "Zorvik/Controllers/CompanySettingsController/CompanySettingsController.h"
#include "Zorvik/ViewControllers/StartSignupViewController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/FadeViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/Views/CompanySettingsView/CompanySettingsView.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

#include <stdexcept>

namespace zorvik {

void CompanySettingsViewController::loadView()
{
    auto freelancer = api::Freelancer::loggedInFreelancer();
    if (!freelancer)
        throw std::logic_error("The settings screen needs a signed-in freelancer");
    auto business = freelancer->business();
    auto record = business ? business->record() : platform::foundation::DictionaryRef();
    auto view = CompanySettingsView::make(record);
    view->setController(std::weak_ptr<ContentViewController>(
        std::static_pointer_cast<ContentViewController>(shared_from_this())));
    std::weak_ptr<platform::ui::NavigationController> navigation;
    if (auto stack = navigationController())
        navigation = stack;
    m_controller
        = CompanySettingsController::make(view, navigation, record, platform::ui::Application::shared());
    setView(view);
}

void CompanySettingsViewController::viewDidLoad()
{
    ContentViewController::viewDidLoad();
    setNeedsStatusBarAppearanceUpdate();
    determineWhichLogoViewToShow();
}

void CompanySettingsViewController::logoAdded()
{
    ContentViewController::logoAdded();
    if (auto menu = std::dynamic_pointer_cast<CompanySettingsView>(view()))
        menu->applyNavigationBarThemeForLogo();
}

std::shared_ptr<platform::ui::TransitionAnimator> CompanySettingsViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>& pushed)
{
    if (std::dynamic_pointer_cast<StartSignupViewController>(pushed))
        return std::make_shared<FadeViewControllerTransition>(0.4);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> CompanySettingsViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

}
