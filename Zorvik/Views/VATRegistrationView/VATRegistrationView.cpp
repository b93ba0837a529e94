#include "Zorvik/Views/VATRegistrationView/VATRegistrationView.h"

#include "Zorvik/Controllers/TabOrderController/TabOrderObjc.h"
#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"
#include "Zorvik/Views/LineView/LineView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"

namespace zorvik {

VATRegistrationView::VATRegistrationView(api::VATRegistration vatRegistration)
    : FormViewObjc(vatRegistration.record())
    , m_vatRegistration(std::move(vatRegistration))
{
    declareOutlet("vatRegistrationSwitch", m_vatRegistrationSwitch);
    declareOutlet("registrationNumberPrompt", m_registrationNumberPrompt);
    declareOutlet("registrationNumberTextField", m_registrationNumberTextField);
    declareOutlet("registrationNumberLineView", m_registrationNumberLineView);
    declareAction("vatRegisteredToggled", [this](platform::ui::View&) { vatRegisteredToggled(); });
    declareAction("registrationNumberDidBeginEditing",
        [this](platform::ui::View&) { registrationNumberDidBeginEditing(); });
}

void VATRegistrationView::construct()
{
    FormViewObjc::construct();
    setTabOrder(TabOrderObjc::make({ m_registrationNumberTextField }, false));
    contentScrollView()->setTextFields({ m_registrationNumberTextField });
    navigationBar()->setText(std::string("VAT info"));
    setCurrentDocument(m_vatRegistration.record());
}

void VATRegistrationView::setVatRegistration(api::VATRegistration registration)
{
    m_vatRegistration = std::move(registration);
    setCurrentDocument(m_vatRegistration.record());
}

Document VATRegistrationView::currentDocument() const
{
    return api::VATRegistration::withIsRegistered(
        m_vatRegistrationSwitch->isOn(), m_registrationNumberTextField->text())
        .record();
}

void VATRegistrationView::setCurrentDocument(const Document& document)
{
    api::VATRegistration record(document.dictionary());
    m_vatRegistrationSwitch->setOn(record.isRegistered());
    m_registrationNumberTextField->setText(record.registrationNumber().value_or(""));
    showNumber(m_vatRegistrationSwitch->isOn());
    FormViewObjc::setCurrentDocument(document);
}

void VATRegistrationView::vatRegisteredToggled()
{
    if (!isEditing())
        setIsEditing(true);
    bool on = m_vatRegistrationSwitch->isOn();
    showNumber(on);
    if (on)
        m_registrationNumberTextField->becomeFirstResponder();
    else
        m_registrationNumberTextField->resignFirstResponder();
}

void VATRegistrationView::registrationNumberDidBeginEditing()
{
    if (!isEditing())
        setIsEditing(true);
}

void VATRegistrationView::showNumber(bool shown)
{
    m_registrationNumberPrompt->setHidden(!shown);
    m_registrationNumberTextField->setHidden(!shown);
    m_registrationNumberLineView->setHidden(!shown);
}

}
