#pragma once

#include <memory>

namespace platform::ui {
class View;
}

namespace zorvik {

class FailedPinAttemptView;
class PinControllerProtocol;

/// The PIN pad as the PIN screens' flow controllers drive it.
class PinViewProtocol {
public:
    virtual ~PinViewProtocol() = default;

    /// The controller told of a whole PIN and of the back button, or null.
    virtual std::shared_ptr<PinControllerProtocol> controller() const = 0;
    /// Sets the controller, held weakly: the screen owns it.
    virtual void setController(const std::weak_ptr<PinControllerProtocol>& controller) = 0;
    /// The view in the information area above the dots (the screen's prompt), or null.
    virtual std::shared_ptr<platform::ui::View> informationView() const = 0;
    /// Replaces the information view (null empties the area).
    virtual void setInformationView(const std::shared_ptr<platform::ui::View>& view) = 0;
    /// Hides the back button.
    virtual void hideBackButton() = 0;
    /// Shows `error` in place of the information view until the next digit is pressed.
    virtual void showErrorView(const std::shared_ptr<FailedPinAttemptView>& error) = 0;
    /// Forgets the digits typed and empties the dots.
    virtual void clearPin() = 0;
    /// Shows the spinner in place of the dots and stops the keypad taking touches.
    virtual void showBusyView() = 0;
    /// Ends showBusyView().
    virtual void hideBusyView() = 0;
};

}
