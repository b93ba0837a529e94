#pragma once

#include "Zorvik/Views/ContentView/FormViewObjc.h"
#include "ZorvikAPI/models/VATRegistration.h"

#include <memory>
#include <string>

namespace platform::ui {
class Label;
class Switch;
class TextField;
}

namespace zorvik {

class LineView;

/// The VAT registration form (nib "VATRegistrationView"), titled "VAT info": a switch for whether the
/// business is registered and, shown only while it is on, the registration number with its prompt and
/// line. The document is a VAT registration record; the number is kept, and read back, while the switch
/// is off. Toggling the switch or beginning to edit the number starts editing the form; switching on puts
/// the keyboard on the number at once, switching off takes it away.
class VATRegistrationView : public FormViewObjc {
public:
    /// A form over `vatRegistration`; made with create<VATRegistrationView>(Rect::zero(), vatRegistration).
    explicit VATRegistrationView(api::VATRegistration vatRegistration);

    std::string className() const override { return "VATRegistrationView"; }

    /// The record shown.
    const api::VATRegistration& vatRegistration() const { return m_vatRegistration; }
    /// Shows `registration` instead, switch, number and all.
    void setVatRegistration(api::VATRegistration registration);

    /// A new VAT registration record of the switch and the number field's text.
    Document currentDocument() const override;
    /// Shows the record's registration and number (absent: off and empty) and keeps the record as the one
    /// cancel returns to.
    void setCurrentDocument(const Document& document) override;

    /// The switch was toggled by the user.
    void vatRegisteredToggled();
    /// The number began editing: the form starts editing.
    void registrationNumberDidBeginEditing();

    const std::shared_ptr<platform::ui::Switch>& vatRegistrationSwitch() const
    {
        return m_vatRegistrationSwitch;
    }
    const std::shared_ptr<platform::ui::Label>& registrationNumberPrompt() const
    {
        return m_registrationNumberPrompt;
    }
    const std::shared_ptr<platform::ui::TextField>& registrationNumberTextField() const
    {
        return m_registrationNumberTextField;
    }
    const std::shared_ptr<LineView>& registrationNumberLineView() const
    {
        return m_registrationNumberLineView;
    }

protected:
    void construct() override;

private:
    void showNumber(bool shown);

    api::VATRegistration m_vatRegistration;
    std::shared_ptr<platform::ui::Switch> m_vatRegistrationSwitch;
    std::shared_ptr<platform::ui::Label> m_registrationNumberPrompt;
    std::shared_ptr<platform::ui::TextField> m_registrationNumberTextField;
    std::shared_ptr<LineView> m_registrationNumberLineView;
};

}
