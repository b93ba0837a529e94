#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::ui {
class Button;
class Label;
}

namespace zorvik {

class OneButtonDialogControllerProtocol;

/// A message with a title and one button, laid out by the nib "OneButtonDialogView", that covers a parent
/// view edge to edge until its button is pressed. The same dialog can be shown again.
class OneButtonDialogView : public XibViewObjcmb {
public:
    /// An empty dialog; make one with make().
    OneButtonDialogView();

    /// A dialog of its nib's size.
    static std::shared_ptr<OneButtonDialogView> make();

    std::string className() const override { return "OneButtonDialogView"; }

    /// The title label's text.
    std::optional<std::string> title() const;
    /// Sets the title label's text.
    void setTitle(const std::optional<std::string>& title);
    /// The message label's text.
    std::optional<std::string> message() const;
    /// Sets the message label's text.
    void setMessage(const std::optional<std::string>& message);
    /// The button's title for the normal state.
    std::optional<std::string> buttonText() const;
    /// Sets the button's title for the normal state.
    void setButtonText(const std::optional<std::string>& text);

    /// Who hears of the dismissal, or null.
    std::shared_ptr<OneButtonDialogControllerProtocol> controller() const { return m_controller.lock(); }
    /// Sets who hears of the dismissal, held weakly.
    void setController(const std::weak_ptr<OneButtonDialogControllerProtocol>& controller)
    {
        m_controller = controller;
    }

    /// Adds the dialog to `parent` (into its content view when it is a nib-loaded view) and pins it to the
    /// parent's four edges.
    void showInParent(const std::shared_ptr<platform::ui::View>& parent);
    /// The button's action: tells the controller, when there is one, then removes the dialog.
    void buttonPressed();

    /// The title label.
    std::shared_ptr<platform::ui::Label> titleLabel() const { return m_titleLabel.lock(); }
    /// The message label.
    std::shared_ptr<platform::ui::Label> messageLabel() const { return m_messageLabel.lock(); }
    /// The button.
    std::shared_ptr<platform::ui::Button> button() const { return m_button.lock(); }

private:
    std::weak_ptr<platform::ui::Label> m_titleLabel;
    std::weak_ptr<platform::ui::Label> m_messageLabel;
    std::weak_ptr<platform::ui::Button> m_button;
    std::weak_ptr<OneButtonDialogControllerProtocol> m_controller;
};

}
