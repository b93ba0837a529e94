#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceView.h"

#include "Zorvik/Controllers/TabOrderController/TabOrderObjc.h"
#include "Zorvik/Controls/EmailTextField.h"
#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/DoneKeyboardAccessoryView/DismissKeyboardAccesoryView.h"
#include "Zorvik/Views/InlineVATView/InlineVATView.h"
#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/SendInvoiceResultView/SendInvoiceResultView.h"
#include "Zorvik/Views/Styles/ControlStyles.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/LineItem.h"
#include "ZorvikAPI/models/LineItems.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"
#include "platform/ui/Control.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

using platform::foundation::ArrayRef;
using platform::foundation::DictionaryRef;
using platform::ui::Color;
using platform::ui::ControlEvent;
using platform::ui::Image;

namespace {

// A line item the user added and never filled in.
bool isEmptyItem(const DictionaryRef& record)
{
    api::LineItem item(record);
    return item.descriptionOfWork().value_or("") == "" && item.netAmount() == 0 && item.quantity() == 1;
}

ArrayRef withoutEmptyItems(const ArrayRef& items)
{
    auto kept = platform::foundation::Array::make();
    if (!items)
        return kept;
    for (const auto& value : items->values())
        if (auto record = value.dictionary(); record && !isEmptyItem(record))
            kept->append(value);
    return kept;
}

std::optional<api::Business> businessOf(const api::Freelancer& sender)
{
    return sender.business();
}

}

CreateInvoiceView::CreateInvoiceView(api::Freelancer sender, DictionaryRef invoiceToDuplicate)
    : ContentViewObjc(sender.business() ? sender.business()->record() : nullptr)
    , m_sender(std::move(sender))
    , m_invoiceToDuplicate(std::move(invoiceToDuplicate))
{
    declareOutlet("addLineItemsButton", m_addLineItemsButton);
    declareOutlet("amountTextField", m_amountTextField);
    declareOutlet("vatView", m_vatView);
    declareOutlet("moreButton", m_moreButton);
    declareOutlet("descriptionTextField", m_descriptionTextField);
    declareOutlet("companyNameTextField", m_companyNameTextField);
    declareOutlet("recipientEmailTextField", m_recipientEmailTextField);
    declareOutlet("resultView", m_resultView);
    declareOutlet("dateLabel", m_dateLabel);
    declareOutlet("referenceLabel", m_referenceLabel);
    declareOutlet("descriptionImage", m_descriptionImage);
    declareOutlet("companyNameImage", m_companyNameImage);
    declareOutlet("emailImage", m_emailImage);
    declareOutlet("deleteIcon", m_deleteIcon);
    declareOutlet("deleteLabel", m_deleteLabel);
    declareOutlet("deleteButton", m_deleteButton);
    declareOutlet("addContactFromAddressBookButton", m_addContactFromAddressBookButton);
    declareOutlet("addContactFromAddressBookImage", m_addContactFromAddressBookImage);
    declareAction(
        "showInvoiceReferenceNumberView", [this](platform::ui::View&) { showInvoiceReferenceNumberView(); });
    declareAction("showAddContactFromAddressBookView",
        [this](platform::ui::View&) { showAddContactFromAddressBookView(); });
    declareAction("addLineItems", [this](platform::ui::View&) { addLineItems(); });
    declareAction("showMoreMenu", [this](platform::ui::View&) { showMoreMenu(); });
    declareAction(
        "amountBecomeFirstResponder", [this](platform::ui::View&) { amountBecomeFirstResponder(); });
}

std::shared_ptr<CreateInvoiceView> CreateInvoiceView::make(const api::Freelancer& sender)
{
    return create<CreateInvoiceView>(platform::ui::Rect::zero(), sender, DictionaryRef());
}

std::shared_ptr<CreateInvoiceView> CreateInvoiceView::make(
    const api::Freelancer& sender, const DictionaryRef& invoice)
{
    return create<CreateInvoiceView>(platform::ui::Rect::zero(), sender, invoice);
}

std::optional<std::string> CreateInvoiceView::contentNib() const
{
    return std::string("CreateInvoiceView");
}

std::shared_ptr<CreateInvoiceView> CreateInvoiceView::self()
{
    return std::static_pointer_cast<CreateInvoiceView>(shared_from_this());
}

void CreateInvoiceView::construct()
{
    ContentViewObjc::construct();
    constructForNewInvoice();
    if (m_invoiceToDuplicate)
        copyInvoice(m_invoiceToDuplicate);
    m_invoiceToDuplicate.reset();
}

void CreateInvoiceView::constructForNewInvoice()
{
    auto business = businessOf(m_sender);
    m_referenceSystem
        = api::SequentialReferenceComponentSystem::sequentialReferenceComponentSystemWithInvoices(
            business ? business->invoices() : nullptr);

    std::weak_ptr<CreateInvoiceView> weak = self();
    m_tabOrder = TabOrderObjc::make(
        { m_amountTextField, m_descriptionTextField, m_companyNameTextField, m_recipientEmailTextField },
        true,
        [](platform::ui::Control& field) {
            auto text = dynamic_cast<platform::ui::TextField*>(&field);
            return text && text->text().empty();
        },
        [weak](platform::ui::Control& field) {
            auto form = weak.lock();
            if (!form || &field != form->m_amountTextField.get())
                return;
            auto scroll = form->contentScrollView();
            double y = scroll->frame().height() - (form->contentHolder()->frame().height() + 35);
            scroll->setContentOffset({ 0, y }, true);
        });
    navigationBar()->setObserver(std::weak_ptr<NavigationBarDelegate>(self()));
    wireFields();
    pushSendButton("");

    m_deleteButton->setEnabled(false);
    m_deleteLabel->setHidden(true);
    m_deleteIcon->setHidden(true);

    navigationBar()->setText("New Invoice");
    navigationBar()->setNegativeButtonText(platform::ui::AttributedString("cancel"));

    m_referenceNumber = m_referenceSystem->nextReference();
    setReference(m_referenceNumber->stringValue());
    showDate(platform::foundation::now());

    ControlStyles::styleTextField(*m_amountTextField, ColoursObjc::teal());
    for (const auto& field : { m_descriptionTextField, m_companyNameTextField,
             std::static_pointer_cast<platform::ui::TextField>(m_recipientEmailTextField) })
        ControlStyles::styleTextField(*field, Color::fromBytes(83, 88, 95));
}

void CreateInvoiceView::wireFields()
{
    auto form = self();
    std::weak_ptr<const void> lifetime = form;
    auto on = [&](const std::shared_ptr<platform::ui::Control>& control, ControlEvent events,
                  void (CreateInvoiceView::*handler)()) {
        std::weak_ptr<CreateInvoiceView> weak = form;
        control->addTarget(lifetime, events, [weak, handler](platform::ui::Control&) {
            if (auto strong = weak.lock())
                ((*strong).*handler)();
        });
    };
    on(m_amountTextField, ControlEvent::EditingDidBegin | ControlEvent::EditingDidEnd,
        &CreateInvoiceView::setAreAmountOptionsShown);
    on(m_amountTextField, ControlEvent::EditingChanged, &CreateInvoiceView::setVATAmount);
    on(m_amountTextField, ControlEvent::EditingChanged, &CreateInvoiceView::checkDocumentValid);
    on(m_descriptionTextField, ControlEvent::EditingChanged, &CreateInvoiceView::checkDocumentValid);
    on(m_recipientEmailTextField, ControlEvent::EditingChanged, &CreateInvoiceView::checkDocumentValid);
    std::weak_ptr<CreateInvoiceView> weak = form;
    m_recipientEmailTextField->addTarget(
        lifetime, ControlEvent::EditingDidBegin, [weak](platform::ui::Control&) {
            if (auto strong = weak.lock()) {
                strong->m_addContactFromAddressBookButton->setHidden(false);
                strong->m_addContactFromAddressBookImage->setHidden(false);
            }
        });
    m_recipientEmailTextField->addTarget(lifetime,
        ControlEvent::EditingDidEnd | ControlEvent::EditingDidEndOnExit, [weak](platform::ui::Control&) {
            if (auto strong = weak.lock()) {
                strong->m_addContactFromAddressBookButton->setHidden(true);
                strong->m_addContactFromAddressBookImage->setHidden(true);
            }
        });
    m_companyNameTextField->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(form));
    m_descriptionTextField->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(form));
    m_recipientEmailTextField->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(form));

    m_amountAccessory = DismissKeyboardAccesoryView::makeWithTarget(lifetime, [weak] {
        if (auto strong = weak.lock())
            strong->donePressed();
    });
    m_amountAccessory->setText("Next");
    m_amountTextField->setInputAccessoryView(m_amountAccessory);
}

void CreateInvoiceView::pushSendButton(const std::string& prefix)
{
    auto button = NavigationBar::standardPositiveButtonTemplate();
    button->setImage(Image::named("Btn" + prefix + "SendEnabled"), platform::ui::ControlState::Normal);
    button->setImage(Image::named("Btn" + prefix + "SendPressed"), platform::ui::ControlState::Highlighted);
    button->setImage(Image::named("Btn" + prefix + "SendDisabled"), platform::ui::ControlState::Disabled);
    button->setAccessibilityLabel("Send");
    button->setEnabled(false);
    navigationBar()->pushPositiveButton(button);
    m_sendButton = button;
}

void CreateInvoiceView::copyInvoice(const DictionaryRef& record)
{
    api::Invoice old(record);
    m_referenceNumber = m_referenceSystem->nextReferenceForPrefix(old.referenceComponents().prefix());
    setReference(m_referenceNumber->stringValue());

    // The copy's items are records of its own: editing them must never change the invoice sent.
    auto items = old.lineItems();
    setLineItems(items ? items->deepCopy() : nullptr);

    showAmountsOf(old);

    m_descriptionTextField->setText(old.descriptionOfWork().value_or(""));
    auto to = old.to();
    auto toBusiness = to ? to->business() : std::nullopt;
    setRecipient(toBusiness ? toBusiness->record() : nullptr);
    m_recipientEmailTextField->setText(to ? to->contact().value_or("") : "");

    enableSend();
    checkDocumentValid();
    resignFirstResponder();
}

void CreateInvoiceView::showAmountsOf(const api::Invoice& invoice)
{
    auto items = invoice.lineItems();
    m_vatView->setNetAmount(invoice.netAmount());
    api::LineItems stored(items);
    auto itemsNet = stored.totalNetAmount();
    auto itemsGross = stored.totalGrossAmount();
    if (items && items->size() > 0 && itemsGross != itemsNet) {
        m_amountTextField->setAmount(invoice.grossAmount());
        m_vatView->setMarginAmount(itemsGross - itemsNet);
    } else if (invoice.netAmount() == invoice.grossAmount()) {
        m_amountTextField->setAmount(invoice.netAmount());
    } else {
        m_amountTextField->setAmount(invoice.netAmount());
        m_vatView->setAddVat(true);
    }
}

void CreateInvoiceView::showLoadingView()
{
    setUserInteractionEnabled(false);
    navigationBar()->showLoadingViewWithColour(Color::white());
}

void CreateInvoiceView::hideLoadingView()
{
    setUserInteractionEnabled(true);
    navigationBar()->hideLoadingView();
}

void CreateInvoiceView::enableSend()
{
    m_sendButton->setEnabled(true);
}

void CreateInvoiceView::disableSend()
{
    m_sendButton->setEnabled(false);
}

void CreateInvoiceView::updateReferenceNumber(const api::Reference& reference)
{
    m_referenceNumber = reference;
    setReference(reference.stringValue());
}

void CreateInvoiceView::setReference(const std::string& reference)
{
    m_referenceLabel->setText(reference);
}

void CreateInvoiceView::showDate(platform::foundation::Date date)
{
    m_dateLabel->setText(platform::foundation::DateFormatter("dd MMM yyyy").format(date));
}

void CreateInvoiceView::setRecipient(const DictionaryRef& business)
{
    m_recipient = business;
    if (business) {
        m_companyNameTextField->setText(api::Business(business).name().value_or(""));
        m_recipientEmailTextField->becomeFirstResponder();
    }
    checkDocumentValid();
}

std::string CreateInvoiceView::recipientEmail() const
{
    return m_recipientEmailTextField->text();
}

void CreateInvoiceView::setRecipientEmail(const std::string& email)
{
    m_recipientEmailTextField->setText(email);
    if (!email.empty())
        m_recipientEmailTextField->resignFirstResponder();
    checkDocumentValid();
}

bool CreateInvoiceView::isEmpty() const
{
    return m_amountTextField->text().empty() && m_descriptionTextField->text().empty()
        && m_companyNameTextField->text().empty() && m_recipientEmailTextField->text().empty();
}

bool CreateInvoiceView::resignFirstResponder()
{
    m_amountTextField->resignFirstResponder();
    m_descriptionTextField->resignFirstResponder();
    m_recipientEmailTextField->resignFirstResponder();
    return true;
}

void CreateInvoiceView::checkDocumentValid()
{
    // £0.00 is no amount to invoice: it counts as missing like an empty field.
    bool amountMissing = m_amountTextField->text().empty() || m_amountTextField->amount() == 0;
    bool descriptionMissing = m_descriptionTextField->text().empty();
    bool companyMissing = m_companyNameTextField->text().empty();
    bool emailValid = m_recipientEmailTextField->containsValidEmailAddress();

    m_descriptionImage->setImage(
        Image::named(descriptionMissing ? "IconDescriptionEmpty" : "IconDescriptionComplete"));
    m_companyNameImage->setImage(
        Image::named(companyMissing ? "IconCompanyNameEmpty" : "IconCompanyNameComplete"));
    m_emailImage->setImage(Image::named(emailValid ? "IconEmailComplete" : "IconEmailEmpty"));
    m_amountAccessory->setText(!descriptionMissing && !companyMissing && emailValid ? "Done" : "Next");

    auto screen = delegate();
    if (!screen)
        return;
    if (amountMissing || descriptionMissing || companyMissing || !emailValid)
        screen->invoiceIsInvalid();
    else
        screen->invoiceIsValid();
}

void CreateInvoiceView::setAreAmountOptionsShown()
{
    bool editing = m_amountTextField->isFirstResponder();
    m_vatView->setUserInteractionEnabled(editing);
    bool hasItems = m_lineItems && m_lineItems->size() > 0;
    m_addLineItemsButton->setHidden(!(hasItems || editing));
}

void CreateInvoiceView::setVATAmount()
{
    m_vatView->setNetAmount(m_amountTextField->amount());
}

void CreateInvoiceView::donePressed()
{
    m_tabOrder->next();
}

void CreateInvoiceView::setLineItems(const ArrayRef& items)
{
    auto kept = withoutEmptyItems(items);
    bool hadItems = m_lineItems && m_lineItems->size() > 0;
    updateVATViewForLineItems(kept);
    updateAmountForLineItems(kept, hadItems);
    updateAddItemsButton(kept);
    m_lineItems = kept;
}

void CreateInvoiceView::updateVATViewForLineItems(const ArrayRef& items)
{
    if (items->size() == 0) {
        m_vatView->setAddVat(false);
        return;
    }
    api::LineItems totals(items);
    auto margin = totals.totalGrossAmount() - totals.totalNetAmount();
    m_vatView->setMarginAmount(margin);
    m_vatView->setFormatString("(including %@ VAT)");
    m_vatView->setAddVat(totals.totalNetAmount() != totals.totalGrossAmount());
    m_vatView->setMarginAmount(margin);
}

void CreateInvoiceView::updateAmountForLineItems(const ArrayRef& items, bool hadItems)
{
    if (items->size() > 0) {
        m_amountTextField->setAmount(api::LineItems(items).totalGrossAmount());
        m_amountTextField->setUserInteractionEnabled(false);
        m_amountTextField->setTextColor(Color::black());
        return;
    }
    m_amountTextField->setUserInteractionEnabled(true);
    m_amountTextField->setTextColor(ColoursObjc::teal());
    if (!hadItems)
        m_amountTextField->becomeFirstResponder();
    else
        m_amountTextField->setAmount(0);
}

void CreateInvoiceView::updateAddItemsButton(const ArrayRef& items)
{
    if (items->size() == 0) {
        m_addLineItemsButton->setTitle(std::string("+ add items"));
        return;
    }
    m_addLineItemsButton->setHidden(false);
    m_addLineItemsButton->setTitle(std::to_string(items->size()) + (items->size() < 2 ? " item" : " items"));
}

void CreateInvoiceView::negativePressed()
{
    if (auto screen = delegate())
        screen->navigateBack();
}

void CreateInvoiceView::showInvoiceReferenceNumberView()
{
    if (auto screen = delegate())
        screen->goToInvoiceReferenceNumberViewWithReferenceSystem(*m_referenceSystem);
}

void CreateInvoiceView::addLineItems()
{
    if (auto screen = delegate())
        screen->addLineItems();
}

void CreateInvoiceView::amountBecomeFirstResponder()
{
    m_amountTextField->becomeFirstResponder();
}

void CreateInvoiceView::selectCompany()
{
    if (auto screen = delegate())
        screen->selectCompany();
}

bool CreateInvoiceView::shouldBeginEditing(platform::ui::TextField& field)
{
    if (&field != m_companyNameTextField.get())
        return true;
    selectCompany();
    return false;
}

void CreateInvoiceView::applyNavigationBarThemeForLogo()
{
    navigationBar()->setTitleColour(Color::black());
    navigationBar()->setNegativeButtonText(platform::ui::AttributedString("cancel"));
    pushSendButton("Teal");
    checkDocumentValid();
}

}
