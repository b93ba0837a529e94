#pragma once

#include "platform/ui/ViewController.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

/// How an alert controller shows; the numbers are the platform's.
enum class AlertControllerStyle { ActionSheet = 0, Alert = 1 };

/// How an alert action's button looks; the numbers are the platform's.
enum class AlertActionStyle { Default = 0, Cancel = 1, Destructive = 2 };

/// One button of an alert controller.
class AlertAction {
public:
    /// Runs after the alert has been dismissed by a press of the action's button.
    using Handler = std::function<void(AlertAction& action)>;

    /// An action with a title, a style and a handler (which may be empty).
    AlertAction(std::string title, AlertActionStyle style, Handler handler = {});

    /// The button's title.
    const std::string& title() const { return m_title; }
    /// The button's style.
    AlertActionStyle style() const { return m_style; }
    /// Whether the button can be pressed.
    bool isEnabled() const { return m_enabled; }
    /// Enables or disables the button.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    /// Runs the handler.
    void perform();

private:
    std::string m_title;
    AlertActionStyle m_style { AlertActionStyle::Default };
    Handler m_handler;
    bool m_enabled { true };
};

/// A question or message with buttons, shown as a centred alert or an action sheet at the bottom, presented
/// modally over the full screen with a fade (the presenter stays on screen beneath and does not disappear).
/// Pressing a button dismisses the alert, animated, and runs the action's handler once the dismissal is done.
/// While it shows, the keyboard is down: the field being edited beneath stops editing as the alert appears
/// and takes the keyboard back once the alert has gone (when it is still in a window).
class AlertController : public ViewController {
public:
    /// An alert with an optional title and message (empty counts as none).
    AlertController(
        std::optional<std::string> title, std::optional<std::string> message, AlertControllerStyle style);

    /// The message, or nothing.
    const std::optional<std::string>& message() const { return m_message; }
    /// Sets the message.
    void setMessage(std::optional<std::string> message) { m_message = std::move(message); }
    /// The style given at creation.
    AlertControllerStyle preferredStyle() const { return m_style; }

    /// Adds a button. Throws std::invalid_argument for a null action or a second cancel-style action.
    void addAction(std::shared_ptr<AlertAction> action);
    /// The actions in the order added.
    const std::vector<std::shared_ptr<AlertAction>>& actions() const { return m_actions; }
    /// The actions in the order their buttons show: as added, with the cancel action last in an action sheet.
    std::vector<std::shared_ptr<AlertAction>> displayedActions() const;

    /// Presses the button of the enabled action titled `title`, as the user would. Returns false, doing
    /// nothing, when there is none or a button was pressed already (an alert takes one press per showing).
    bool pickAction(const std::string& title);
    /// Presses the button of `action` (one of this alert's, enabled).
    void pick(const std::shared_ptr<AlertAction>& action);

    /// "AlertController \"title\" [alert|action sheet]: message / actions", for the screen dump.
    std::string summary() const;

    /// Builds the dimmed full-screen view with the panel of texts and buttons.
    void loadView() override;
    /// Makes the buttons pressable again for this showing and takes the keyboard down.
    void viewWillAppear(bool animated) override;
    /// Gives the keyboard back to the field that was being edited when the alert appeared.
    void viewDidDisappear(bool animated) override;

private:
    std::optional<std::string> m_message;
    AlertControllerStyle m_style { AlertControllerStyle::Alert };
    std::vector<std::shared_ptr<AlertAction>> m_actions;
    bool m_picked { false };
    std::weak_ptr<View> m_editingBeneath;
};

}
