#include "Zorvik/ViewControllers/ReadOnlyInvoiceViewController.h"

#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"

#include <typeinfo>

namespace zorvik {

namespace {

// The duplicate-invoice screen: exactly the create-invoice class, not a subclass.
bool isDuplicate(const std::shared_ptr<platform::ui::ViewController>& screen)
{
    return screen && typeid(*screen) == typeid(CreateInvoiceViewController);
}

}

std::shared_ptr<platform::ui::TransitionAnimator> ReadOnlyInvoiceViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>& pushed)
{
    if (isDuplicate(pushed))
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::RiseOver);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> ReadOnlyInvoiceViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>& popped)
{
    if (isDuplicate(popped))
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::DropAway);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

}
