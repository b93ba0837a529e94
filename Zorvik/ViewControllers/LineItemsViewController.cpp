#include "Zorvik/ViewControllers/LineItemsViewController.h"

#include "Zorvik/Controllers/FormController/Question.h"
#include "platform/ui/AlertController.h"

namespace zorvik {

using platform::ui::AlertAction;
using platform::ui::AlertActionStyle;
using platform::ui::AlertController;

LineItemsViewController::LineItemsViewController()
{
    setModalPresentationStyle(platform::ui::ModalPresentationStyle::OverFullScreen);
}

void LineItemsViewController::loadView()
{
    auto view = LineItemsView::make();
    view->setController(std::shared_ptr<FormControllerProtocol>(shared_from_this(), this));
    m_lineItemsView = view;
    setView(view);
}

void LineItemsViewController::viewWillAppear(bool)
{
    setNeedsStatusBarAppearanceUpdate();
}

void LineItemsViewController::viewWillDisappear(bool)
{
    m_isDismissing = isBeingDismissed();
    setNeedsStatusBarAppearanceUpdate();
}

platform::ui::StatusBarStyle LineItemsViewController::preferredStatusBarStyle() const
{
    if (m_isDismissing) {
        if (auto beneath = presentingViewController())
            return beneath->preferredStatusBarStyle();
    }
    return platform::ui::StatusBarStyle::Default;
}

platform::foundation::ArrayRef LineItemsViewController::lineItems()
{
    return lineItemsView()->lineItems();
}

void LineItemsViewController::setLineItems(const platform::foundation::ArrayRef& lineItems)
{
    lineItemsView()->setLineItems(lineItems);
}

bool LineItemsViewController::readOnly()
{
    return lineItemsView()->readOnly();
}

void LineItemsViewController::setReadOnly(bool readOnly)
{
    lineItemsView()->setReadOnly(readOnly);
}

std::shared_ptr<LineItemsView> LineItemsViewController::lineItemsView()
{
    loadViewIfNeeded();
    return m_lineItemsView.lock();
}

void LineItemsViewController::done()
{
    auto self = shared_from_this();
    if (auto opener = delegate())
        opener->setLineItems(lineItems());
    dismissViewController(true);
    setNeedsStatusBarAppearanceUpdate();
}

void LineItemsViewController::save(SavedBlock saved, SaveFailedBlock)
{
    saved(lineItems());
}

void LineItemsViewController::showCancelDialog(const Question& question)
{
    auto sheet = std::make_shared<AlertController>(
        question.prompt(), question.message(), platform::ui::AlertControllerStyle::ActionSheet);
    std::weak_ptr<LineItemsView> view = m_lineItemsView;
    sheet->addAction(std::make_shared<AlertAction>(
        question.positiveAnswer().text, AlertActionStyle::Destructive, [view](AlertAction&) {
            if (auto form = view.lock())
                form->cancelConfirmed();
        }));
    sheet->addAction(
        std::make_shared<AlertAction>(question.negativeAnswer().text, AlertActionStyle::Default));
    presentViewController(sheet, false);
}

void LineItemsViewController::showDeleteLineItemConfirmation()
{
    auto sheet = std::make_shared<AlertController>(std::string("Delete this line item?"), std::string(),
        platform::ui::AlertControllerStyle::ActionSheet);
    std::weak_ptr<LineItemsView> view = m_lineItemsView;
    sheet->addAction(
        std::make_shared<AlertAction>("Yes", AlertActionStyle::Destructive, [view](AlertAction&) {
            if (auto form = view.lock())
                form->deleteInvoiceConfirmed();
        }));
    sheet->addAction(std::make_shared<AlertAction>("No", AlertActionStyle::Default));
    presentViewController(sheet, false);
}

}
