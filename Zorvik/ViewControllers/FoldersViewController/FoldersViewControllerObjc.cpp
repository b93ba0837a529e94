#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"

#include "Zorvik/ViewControllers/CompanySettingsViewController.h"
#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"
#include "Zorvik/ViewControllers/InvoiceSummaryViewController/InvoiceSummaryViewController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"

namespace zorvik {

namespace {

// The screens that come up over the home screen like sheets, of these classes or their subclasses.
bool isSheet(const std::shared_ptr<platform::ui::ViewController>& screen)
{
    return std::dynamic_pointer_cast<CompanySettingsViewController>(screen)
        || std::dynamic_pointer_cast<CreateInvoiceViewController>(screen)
        || std::dynamic_pointer_cast<InvoiceSummaryViewController>(screen);
}

}

std::shared_ptr<platform::ui::TransitionAnimator> FoldersViewControllerObjc::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>& pushed)
{
    if (isSheet(pushed))
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::RiseOver);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> FoldersViewControllerObjc::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>& popped)
{
    if (isSheet(popped)) {
        return std::make_shared<VerticalViewControllerTransition>(
            m_animateFolderUpdatesOnViewDidAppearAction == INVOICE_SENT_ACTION
                ? VerticalViewControllerTransitionAction::RiseAway
                : VerticalViewControllerTransitionAction::DropAway);
    }
    if (m_animateFolderUpdatesOnViewDidAppearAction == INVOICE_DELETED_ACTION)
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::DropAway);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

}
