#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverView.h"

#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverControllerProtocol.h"
#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"
#include "ZorvikAPI/models/Business.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/AttributedString.h"

#include <algorithm>

namespace zorvik {

using platform::foundation::DictionaryRef;
using platform::ui::TextField;

namespace {

// The record keys of the fields, in the fields' order.
constexpr std::array<const char*, 7> kKeys { "name", "address_line_1", "address_line_2", "town", "county",
    "post_code", "registration_number" };

constexpr const char* kOutlets[] { "companyNameTextField", "addressLine1TextField", "addressLine2TextField",
    "townTextField", "countyTextField", "postCodeTextField", "registrationNumberTextField" };

std::string textOf(const DictionaryRef& record, const char* key)
{
    if (!record)
        return {};
    auto value = record->get(key);
    auto text = value.string();
    return text ? *text : std::string();
}

}

InvoiceReceiverView::InvoiceReceiverView()
{
    declareOutlet("navigationBar", m_navigationBar);
    declareOutlet("fieldsScrollView", m_fieldsScrollView);
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        declareOutlet(kOutlets[i], m_fields[i]);
    declareAction("formBeganEditing", [this](platform::ui::View&) { formBeganEditing(); });
}

std::shared_ptr<InvoiceReceiverView> InvoiceReceiverView::make()
{
    return create<InvoiceReceiverView>();
}

void InvoiceReceiverView::construct()
{
    XibViewObjcmb::construct();
    auto self = std::static_pointer_cast<InvoiceReceiverView>(shared_from_this());
    for (auto& field : m_fields)
        field->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(self));
    m_fieldsScrollView->setTextFields(textFields());

    auto disabled = NavigationBarModeEditObjc::defaultDisabledTheme();
    disabled->setBackgroundColour(platform::ui::Color::clear());
    disabled->setDividerColour(platform::ui::Color::clear());
    disabled->setPositiveText(platform::ui::AttributedString("done"));
    auto editing = NavigationBarModeEditObjc::defaultEditingTheme();
    editing->setBackgroundColour(platform::ui::Color::clear());
    editing->setDividerColour(platform::ui::Color::clear());
    m_editMode = NavigationBarModeEditObjc::make(m_navigationBar,
        std::weak_ptr<NavigationBarModeEditDelegateObjc>(self), Document(m_business), disabled, editing);
    m_navigationBar->setText("Recipient name");
}

std::vector<std::shared_ptr<TextField>> InvoiceReceiverView::textFields() const
{
    return { m_fields.begin() + 1, m_fields.end() };
}

void InvoiceReceiverView::setBusiness(const DictionaryRef& business)
{
    bool same = (business == nullptr) == (m_business == nullptr)
        && std::ranges::all_of(
            kKeys, [&](const char* key) { return textOf(business, key) == textOf(m_business, key); });
    if (same)
        return;
    m_business = business;
    fill(business);
    m_editMode->setUneditedDocument(Document(business));
}

void InvoiceReceiverView::setReadonly(bool readonly)
{
    m_readonly = readonly;
    m_navigationBar->setText(readonly ? "Invoice sent to" : "Recipient name");
    m_navigationBar->setPositiveButtonHidden(readonly);
    for (auto& field : m_fields)
        field->setUserInteractionEnabled(!readonly);
}

DictionaryRef InvoiceReceiverView::recordFromFields() const
{
    return api::Business::withName(m_fields[0]->text(), m_fields[6]->text(), m_fields[1]->text(),
        m_fields[2]->text(), m_fields[3]->text(), m_fields[4]->text(), m_fields[5]->text(), "")
        .record();
}

void InvoiceReceiverView::fill(const DictionaryRef& business)
{
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(textOf(business, kKeys[i]));
}

void InvoiceReceiverView::businessConfirmed()
{
    auto record = recordFromFields();
    setBusiness(record);
    if (auto listener = controller())
        listener->businessConfirmed(record);
}

void InvoiceReceiverView::back()
{
    businessConfirmed();
}

void InvoiceReceiverView::searchCompanies()
{
    if (auto listener = controller())
        listener->searchCompanies();
}

void InvoiceReceiverView::formBeganEditing()
{
    m_editMode->setIsEditing(true);
}

void InvoiceReceiverView::save(SavedBlock saved, SaveFailedBlock)
{
    auto record = recordFromFields();
    setBusiness(record);
    // What was saved is what a later cancel returns to, also when the record shown did not change.
    m_editMode->setUneditedDocument(Document(m_business));
    saved(Document(record));
}

bool InvoiceReceiverView::cancelled(const Document& uneditedDocument)
{
    for (auto& field : textFields())
        field->resignFirstResponder();
    fill(uneditedDocument.dictionary());
    return true;
}

void InvoiceReceiverView::done()
{
    back();
}

bool InvoiceReceiverView::shouldBeginEditing(TextField& field)
{
    if (&field != m_fields[0].get())
        return true;
    if (!m_readonly)
        searchCompanies();
    return false;
}

bool InvoiceReceiverView::shouldReturn(TextField& field)
{
    field.resignFirstResponder();
    // Address line 1 to the registration number each lead to the next; the last and the name lead nowhere.
    for (std::size_t i = 1; i + 1 < m_fields.size(); ++i) {
        if (&field == m_fields[i].get()) {
            m_fields[i + 1]->becomeFirstResponder();
            break;
        }
    }
    return true;
}

}
