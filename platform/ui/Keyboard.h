#pragma once

#include "platform/ui/Geometry.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::foundation {
struct Notification;
}

namespace platform::ui {

class View;

/// A view that takes typed keys while it is the first responder (a text field).
class TextInput {
public:
    virtual ~TextInput() = default;

    /// Types the text as one key press; returns whether the text was taken.
    virtual bool insertText(const std::string& text) = 0;
    /// Presses the delete key; returns whether something was deleted.
    virtual bool deleteBackward() = 0;
    /// Presses the Return key.
    virtual void pressReturn() = 0;
};

/// The simulated software keyboard of the one screen. It comes up when a view that shows a keyboard becomes
/// the first responder and goes away when that view resigns, posting the platform's notifications on the
/// default notification centre with the keyboard's frames in screen coordinates. It slides up from the bottom
/// edge of the main screen; its frame includes the responder's input accessory view.
class Keyboard {
public:
    static constexpr const char* willShowNotification = "KeyboardWillShowNotification";
    static constexpr const char* didShowNotification = "KeyboardDidShowNotification";
    static constexpr const char* willHideNotification = "KeyboardWillHideNotification";
    static constexpr const char* didHideNotification = "KeyboardDidHideNotification";
    /// User-info keys: the frames before and after, each a dictionary with "x", "y", "width" and "height".
    static constexpr const char* frameBeginUserInfoKey = "KeyboardFrameBeginUserInfoKey";
    static constexpr const char* frameEndUserInfoKey = "KeyboardFrameEndUserInfoKey";
    /// User-info key: the duration of the slide in seconds.
    static constexpr const char* animationDurationUserInfoKey = "KeyboardAnimationDurationUserInfoKey";

    /// The height of the keys without an accessory view, unless set.
    static constexpr double defaultHeight = 216;
    /// The duration of the slide in and out.
    static constexpr double animationDuration = 0.25;

    /// The one keyboard.
    static Keyboard& shared();

    /// Whether the keyboard is up.
    bool isVisible() const { return m_visible; }
    /// The keyboard's frame in screen coordinates while it is up; the zero rectangle otherwise.
    Rect frame() const { return m_visible ? m_frame : Rect::zero(); }
    /// The height of the keys (without accessory view).
    double height() const { return m_height; }
    /// Sets the height of the keys; takes effect the next time the keyboard comes up.
    void setHeight(double height) { m_height = height; }
    /// The view the keyboard types into, or null when it is down.
    std::shared_ptr<View> responder() const;
    /// The accessory view shown on top of the keys, or null.
    std::shared_ptr<View> accessoryView() const { return m_visible ? m_accessory : nullptr; }

    /// Brings the keyboard up for `responder`, posting will-show and did-show. When it is already up for
    /// another responder it posts them again, with the frame it keeps (or its new frame, when the new
    /// responder's accessory view changes its height), so that views can bring the new responder into
    /// sight, as the phone does; when it is up for the same responder with the same frame, nothing.
    void show(View& responder);
    /// Takes the keyboard down (posting will-hide and did-hide); nothing when it is down.
    void hide();
    /// Called by a view as it goes away: the keyboard goes down when that view was typing into it.
    void viewWillBeDestroyed(const View& view);

    /// Types the text one character (code point) at a time into the responder. Returns how many were taken.
    std::size_t type(const std::string& text);
    /// Pastes the text as one change at the insertion point, as the edit menu's Paste does (the field's
    /// delegate is asked once, for the whole text). Returns whether the field took it.
    bool paste(const std::string& text);
    /// Presses delete `times` times; returns how many presses deleted something.
    std::size_t deleteBackward(std::size_t times = 1);
    /// Presses Return; returns false when the keyboard is down.
    bool pressReturn();

    /// Reads a frame from a keyboard notification's user info (frameBeginUserInfoKey or frameEndUserInfoKey).
    static std::optional<Rect> frameFromNotification(
        const foundation::Notification& notification, const char* key);

    /// Puts the keyboard down without notifications and restores the default height: for tests.
    void reset();

private:
    Keyboard() = default;
    TextInput* input() const;
    void post(const char* name, const Rect& begin, const Rect& end) const;

    bool m_visible { false };
    double m_height { defaultHeight };
    Rect m_frame;
    std::weak_ptr<View> m_responder;
    const View* m_responderAddress { nullptr };
    std::shared_ptr<View> m_accessory;
};

}
