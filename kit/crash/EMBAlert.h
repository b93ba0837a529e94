#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {
class AlertController;
}

namespace kit {

class EMBAlert;

/// Hears which button of an EMBAlert was pressed.
class EMBAlertDelegate {
public:
    virtual ~EMBAlertDelegate() = default;

    /// The button at `buttonIndex` of `alert` was pressed and the alert has gone: with a cancel button, that
    /// is index 0; the other buttons follow in the order they were added.
    virtual void alertViewClickedButtonAtIndex(EMBAlert& alert, std::size_t buttonIndex) = 0;
};

/// The kits' alert: a title, a message and buttons, shown as the platform's alert over whatever the key
/// window shows on top, with the cancel button first. Made, shown and answered on the main queue.
///
/// A shown alert lives while it is on screen, however its maker holds it; the delegate is held weakly.
class EMBAlert : public std::enable_shared_from_this<EMBAlert> {
public:
    /// An alert, not yet shown, with a cancel button when `cancelButtonTitle` is given and one other button
    /// when `otherButtonTitle` is.
    static std::shared_ptr<EMBAlert> alertWithTitle(std::string title, std::string message,
        std::weak_ptr<EMBAlertDelegate> delegate, std::optional<std::string> cancelButtonTitle,
        std::optional<std::string> otherButtonTitle);

    /// Adds a button after the others and answers its index. No effect on an alert already shown.
    std::size_t addButtonWithTitle(std::string title);

    /// Presents the alert, animated, over the key window's top controller. False, showing nothing, when
    /// there is no key window with a controller, that controller cannot present now (it is in the middle of
    /// a presentation) or the alert was shown already.
    bool show();

    const std::string& title() const { return m_title; }
    const std::string& message() const { return m_message; }
    /// The button titles by index.
    const std::vector<std::string>& buttonTitles() const { return m_buttonTitles; }
    /// The index of the cancel button, or nullopt without one.
    std::optional<std::size_t> cancelButtonIndex() const;
    /// The platform alert while it is presented, else null.
    std::shared_ptr<platform::ui::AlertController> alertController() const { return m_controller.lock(); }

private:
    EMBAlert() = default;

    std::string m_title;
    std::string m_message;
    std::weak_ptr<EMBAlertDelegate> m_delegate;
    std::vector<std::string> m_buttonTitles;
    bool m_hasCancelButton { false };
    bool m_shown { false };
    std::weak_ptr<platform::ui::AlertController> m_controller;
};

}
