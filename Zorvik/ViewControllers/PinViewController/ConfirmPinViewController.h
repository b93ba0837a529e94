#pragma once

#include "Zorvik/ViewControllers/PinViewController/PinViewController.h"
#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"

#include <memory>
#include <string>

namespace zorvik {

/// The screen that asks for the new PIN a second time; it is pushed as no-history.
class ConfirmPinViewController : public PinViewController, public ViewControllerTransitionDelegate {
public:
    /// The prompt shown above the dots, with the picture "IconLock".
    static constexpr const char* kPrompt { "Confirm your secure pincode." };

    /// The confirm screen for `username`, holding the PIN typed first.
    ConfirmPinViewController(std::string username, std::string createdPin);
    std::string className() const override { return "ConfirmPinViewController"; }

    /// The lock prompt and a ConfirmPinController holding the first PIN; the back button stays.
    std::shared_ptr<PinControllerProtocol> createControllerWithView(
        const std::shared_ptr<PinViewProtocol>& view) override;

    /// Screens arrive sliding in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// Screens leave as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    /// The PIN typed on the create screen.
    const std::string& pin() const { return m_pin; }

private:
    std::string m_pin;
};

}
