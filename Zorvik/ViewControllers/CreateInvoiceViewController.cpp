#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"

#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewViewController.h"
#include "Zorvik/ViewControllers/LineItemsViewController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"

#include <typeinfo>

namespace zorvik {

namespace {

// The screens that come up over the editor like sheets: exactly these classes, not their subclasses.
bool isSheet(const std::shared_ptr<platform::ui::ViewController>& screen)
{
    if (!screen)
        return false;
    const auto& type = typeid(*screen);
    return type == typeid(LineItemsViewController) || type == typeid(InvoicePreviewViewController);
}

}

std::shared_ptr<platform::ui::TransitionAnimator> CreateInvoiceViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>& pushed)
{
    if (isSheet(pushed))
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::RiseOver);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> CreateInvoiceViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>& popped)
{
    if (isSheet(popped))
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::DropAway);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

}
