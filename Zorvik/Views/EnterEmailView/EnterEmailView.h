#pragma once

#include "Zorvik/Views/EnterEmailView/EnterEmailViewProtocol.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <string>

namespace platform::ui {
class Button;
}

namespace zorvik {

class EmailTextField;
class LogoAndPromptView;
class NavigationBar;

/// The view of both e-mail screens, laid out by the nib "EnterEmailView" ("EnterEmailView4" on a 480-point
/// screen): the app's bar with a back button, the logo with a greeting, one e-mail field and a Next button
/// that can be pressed only while the field holds one valid address.
class EnterEmailView : public XibViewObjcmb, public EnterEmailViewProtocol {
public:
    /// Next's title.
    static constexpr const char* kNextTitle { "Next" };
    /// The field's placeholder.
    static constexpr const char* kPlaceholder { "Your e-mail address" };

    /// An empty view; make one with make().
    EnterEmailView();

    /// A view with an empty greeting and Next disabled, observing its field and bar.
    static std::shared_ptr<EnterEmailView> make();

    std::string className() const override { return "EnterEmailView"; }
    /// Yes, for every nib: short screens get their own layout.
    bool shouldLoadShortIPhoneViewForNib(const std::string& name) const override;

    std::shared_ptr<EnterEmailControllerProtocol> controller() const override { return m_controller.lock(); }
    void setController(const std::weak_ptr<EnterEmailControllerProtocol>& controller) override
    {
        m_controller = controller;
    }
    /// The greeting ("" when it has none).
    std::string message() const override;
    void setMessage(const std::string& message) override;

    /// Each edit: Next is enabled exactly while the field holds one valid address.
    void emailTextChanged();
    /// Hands the typed address, without the white space around it, to the controller.
    void emailEntered() override;
    /// The back button: the controller's navigateBack().
    void negativePressed() override;
    /// Takes the keyboard down.
    void hideKeyboard();
    /// Makes the field the first responder, bringing the keyboard up; answers whether it became one.
    bool becomeFirstResponder() override;

    /// The e-mail field.
    std::shared_ptr<EmailTextField> emailTextField() const { return m_emailTextField.lock(); }
    /// Next.
    std::shared_ptr<platform::ui::Button> nextButton() const { return m_nextButton.lock(); }

private:
    std::weak_ptr<EmailTextField> m_emailTextField;
    std::weak_ptr<platform::ui::Button> m_nextButton;
    std::weak_ptr<LogoAndPromptView> m_prompt;
    std::weak_ptr<NavigationBar> m_navigationBar;
    std::weak_ptr<EnterEmailControllerProtocol> m_controller;
};

}
