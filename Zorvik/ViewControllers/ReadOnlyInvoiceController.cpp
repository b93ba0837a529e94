// The read-only invoice screen's answers to its form.

#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"
#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewViewController.h"
#include "Zorvik/ViewControllers/InvoiceRecipientViewControllerObjc.h"
#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberViewController.h"
#include "Zorvik/ViewControllers/LineItemsViewController.h"
#include "Zorvik/ViewControllers/ReadOnlyInvoiceViewController.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Contact.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/ui/AlertController.h"

namespace zorvik {

using platform::foundation::DictionaryRef;

void ReadOnlyInvoiceViewController::navigateBack()
{
    pop();
}

void ReadOnlyInvoiceViewController::selectCompany()
{
    auto to = api::Invoice(m_invoice).to();
    auto business = to ? to->business() : std::nullopt;
    push(std::make_shared<InvoiceRecipientViewControllerObjc>(business ? business->record() : nullptr, true));
}

void ReadOnlyInvoiceViewController::goToInvoicePreviewViewWithInvoice(const DictionaryRef& invoice)
{
    push(std::make_shared<InvoicePreviewViewController>(invoice));
}

void ReadOnlyInvoiceViewController::addLineItems()
{
    auto editor = std::make_shared<LineItemsViewController>();
    editor->setReadOnly(true);
    editor->setDelegate(std::weak_ptr<LineItemsViewControllerDelegate>(self()));
    presentViewController(editor, false);
    editor->setLineItems(lineItems());
    setNeedsStatusBarAppearanceUpdate();
}

void ReadOnlyInvoiceViewController::goToInvoiceReferenceNumberViewWithReferenceSystem(
    const api::SequentialReferenceComponentSystem& referenceSystem)
{
    auto editor = std::make_shared<ReadOnlyInvoiceReferenceNumberViewController>(
        api::Invoice(m_invoice).referenceComponents(), referenceSystem);
    editor->setModalPresentationStyle(platform::ui::ModalPresentationStyle::OverCurrentContext);
    presentViewController(editor, false);
}

void ReadOnlyInvoiceViewController::shouldDeleteInvoice(std::function<void()> yes, std::function<void()> no)
{
    using platform::ui::AlertAction;
    using platform::ui::AlertActionStyle;
    auto question = std::make_shared<platform::ui::AlertController>(
        std::string("Delete this invoice?"), std::nullopt, platform::ui::AlertControllerStyle::ActionSheet);
    question->addAction(std::make_shared<AlertAction>(
        "No", AlertActionStyle::Cancel, [no = std::move(no)](AlertAction&) { no(); }));
    question->addAction(std::make_shared<AlertAction>(
        "Yes", AlertActionStyle::Default, [yes = std::move(yes)](AlertAction&) { yes(); }));
    presentViewController(question, true);
}

void ReadOnlyInvoiceViewController::deletedInvoice(const DictionaryRef&)
{
    pop();
}

void ReadOnlyInvoiceViewController::showCreateInvoiceView()
{
    push(std::make_shared<CreateInvoiceViewController>(m_user, m_invoice));
}

}
