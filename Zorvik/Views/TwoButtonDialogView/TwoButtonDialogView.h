#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <functional>
#include <memory>
#include <string>

namespace platform::ui {
class Button;
class Image;
class ImageView;
class Label;
}

namespace zorvik {

class TwoButtonDialogControllerProtocol;

/// A question with an icon, a title, a message and two buttons, laid out by the nib "TwoButtonDialogView",
/// that covers a parent view edge to edge. A press removes the dialog first and then runs the handler of
/// the pressed button, so a handler may show another dialog on a clean parent.
class TwoButtonDialogView : public XibViewObjcmb {
public:
    /// Runs after a button removed the dialog.
    using ActionHandler = std::function<void()>;

    /// An empty dialog; make one with make().
    TwoButtonDialogView();

    /// A dialog of its nib's size.
    static std::shared_ptr<TwoButtonDialogView> make();

    std::string className() const override { return "TwoButtonDialogView"; }

    /// Sets the title shown.
    void setAlertTitleLabelText(const std::string& text);
    /// Sets the message shown.
    void setAlertMessageLabelText(const std::string& text);
    /// Sets the positive button's title.
    void setAlertPositiveButtonText(const std::string& text);
    /// Sets the negative button's title.
    void setAlertNegativeButtonText(const std::string& text);
    /// Sets the icon.
    void setIconImage(const std::shared_ptr<const platform::ui::Image>& image);

    /// Keeps the two handlers (an empty one does nothing), adds the dialog to `parent` and pins it to the
    /// parent's four edges.
    void showInParent(const std::shared_ptr<platform::ui::View>& parent, ActionHandler negativeActionHandler,
        ActionHandler positiveActionHandler);
    /// The negative button's action: the controller's negativeButtonPressed() when there is a controller,
    /// then the dialog removes itself, then the negative handler runs.
    void negativeButtonPressed();
    /// The positive button's action, in the same order with the positive handler.
    void positiveButtonPressed();

    /// Who hears of the presses first, or null.
    std::shared_ptr<TwoButtonDialogControllerProtocol> controller() const { return m_controller.lock(); }
    /// Sets who hears of the presses first, held weakly.
    void setController(const std::weak_ptr<TwoButtonDialogControllerProtocol>& controller)
    {
        m_controller = controller;
    }

    /// The title label.
    const std::shared_ptr<platform::ui::Label>& alertTitleLabel() const { return m_alertTitleLabel; }
    /// The message label.
    const std::shared_ptr<platform::ui::Label>& alertMessageLabel() const { return m_alertMessageLabel; }
    /// The negative button.
    const std::shared_ptr<platform::ui::Button>& alertNegativeButton() const { return m_alertNegativeButton; }
    /// The positive button.
    const std::shared_ptr<platform::ui::Button>& alertPositiveButton() const { return m_alertPositiveButton; }
    /// The icon.
    const std::shared_ptr<platform::ui::ImageView>& iconImageView() const { return m_iconImageView; }

private:
    void finish(bool positive);

    std::shared_ptr<platform::ui::Label> m_alertTitleLabel;
    std::shared_ptr<platform::ui::Label> m_alertMessageLabel;
    std::shared_ptr<platform::ui::Button> m_alertNegativeButton;
    std::shared_ptr<platform::ui::Button> m_alertPositiveButton;
    std::shared_ptr<platform::ui::ImageView> m_iconImageView;
    ActionHandler m_negativeActionHandler;
    ActionHandler m_positiveActionHandler;
    std::weak_ptr<TwoButtonDialogControllerProtocol> m_controller;
};

}
