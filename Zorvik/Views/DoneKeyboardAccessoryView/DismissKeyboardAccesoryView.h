#pragma once

#include "platform/ui/Toolbar.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform::ui {
class BarButtonItem;
}

namespace zorvik {

/// The bar shown on top of a field's keyboard, with one plain button at its right end, titled "Done" at
/// first: either it ends editing of the field it was made for, or it runs an action of the screen's. Made in
/// code only; a screen sets it as the field's input accessory view.
class DismissKeyboardAccesoryView : public platform::ui::Toolbar {
public:
    /// What the button does in a target/action bar.
    using Action = std::function<void()>;

    /// A bar whose button runs `action` while `target` lives.
    static std::shared_ptr<DismissKeyboardAccesoryView> makeWithTarget(
        const std::weak_ptr<const void>& target, Action action);
    /// A bar whose button ends editing of `sender` (held weakly).
    static std::shared_ptr<DismissKeyboardAccesoryView> makeWithSender(
        const std::weak_ptr<platform::ui::View>& sender);

    std::string className() const override { return "DismissKeyboardAccesoryView"; }

    /// Makes the remembered field resign the first responder, which takes the keyboard down.
    void dismissKeyboard();

    /// The button (null once a screen took it away).
    const std::shared_ptr<platform::ui::BarButtonItem>& button() const { return m_button; }
    /// Replaces the button, which then shows at the right end; null leaves the bar empty.
    void setButton(std::shared_ptr<platform::ui::BarButtonItem> button);
    /// The button's title (nullopt without a button).
    std::optional<std::string> text() const;
    /// Sets the button's title (nothing without a button).
    void setText(const std::optional<std::string>& text);

private:
    DismissKeyboardAccesoryView() = default;

    void setUp(std::shared_ptr<platform::ui::BarButtonItem> button);
    void showButton();

    std::shared_ptr<platform::ui::BarButtonItem> m_button;
    std::weak_ptr<platform::ui::View> m_responder;
};

}
