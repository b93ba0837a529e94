#pragma once

#include "platform/ui/ScrollView.h"

#include <memory>
#include <vector>

namespace platform::foundation {
struct Notification;
}

namespace platform::ui {
class TextField;
}

namespace zorvik {

/// The scrolling area of every screen frame. While the software keyboard is up, its content (its first
/// subview) can be scrolled up by the keyboard's height, and when the view being edited would reach under
/// the keyboard the content scrolls so that the view's bottom edge sits 10 points above it. When the
/// keyboard goes, it scrolls back to the top in 0.2 seconds and drops the extra scroll range.
///
/// It follows the keyboard's did-show and did-hide notifications while it is in a view tree, once however
/// often it moves.
class KeyboardScrollView : public platform::ui::ScrollView {
public:
    /// A scroll view with the frame, the keyboard down and no fields.
    explicit KeyboardScrollView(platform::ui::Rect frame = platform::ui::Rect::zero());

    std::string className() const override { return "KeyboardScrollView"; }

    /// The fields whose start and end of editing make the view adjust again.
    const std::vector<std::shared_ptr<platform::ui::TextField>>& textFields() const { return m_textFields; }
    /// Follows the start and end of editing of each of `fields` (fields given earlier stay followed).
    void setTextFields(std::vector<std::shared_ptr<platform::ui::TextField>> fields);

    /// The keyboard's frame in screen coordinates while it is up; the zero rectangle while it is down.
    const platform::ui::Rect& keyboardFrame() const { return m_keyboardFrame; }
    /// Stores the keyboard's frame and adjusts the scrolling to it (also for the same frame again).
    void setKeyboardFrame(const platform::ui::Rect& frame);

    /// Follows the keyboard while the view has a superview, and stops when it has none.
    void didMoveToSuperview() override;
    /// The keyboard came up: takes its frame from the notification (nothing when it carries none).
    void keyboardDisplayed(const platform::foundation::Notification& notification);
    /// The keyboard went down.
    void keyboardDismissed(const platform::foundation::Notification& notification);
    /// A followed field started editing: adjusts again.
    void textFieldBeganEditing(platform::ui::TextField& field);
    /// A followed field stopped editing: adjusts again.
    void textFieldFinishedEditing(platform::ui::TextField& field);

private:
    void adjust();

    std::vector<std::shared_ptr<platform::ui::TextField>> m_textFields;
    platform::ui::Rect m_keyboardFrame;
};

}
