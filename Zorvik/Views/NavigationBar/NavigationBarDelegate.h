#pragma once

namespace zorvik {

/// Told about the presses of a NavigationBar's buttons: "negative" is the left action (back, cancel, close),
/// "positive" the right one (done, save, send). The right button is optional: a delegate that handles it
/// overrides both positivePressed() and implementsPositivePressed().
class NavigationBarDelegate {
public:
    virtual ~NavigationBarDelegate() = default;

    /// The left button was pressed.
    virtual void negativePressed() = 0;
    /// The right button was pressed; only called when implementsPositivePressed() answers true.
    virtual void positivePressed() { }
    /// Whether the delegate handles the right button (false unless overridden).
    virtual bool implementsPositivePressed() const { return false; }
};

}
