#pragma once

#include "Zorvik/ViewControllers/PinViewController/PinViewController.h"
#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"

#include <memory>
#include <string>

namespace zorvik {

/// The screen on which a new user chooses a PIN.
class CreatePinViewController : public PinViewController, public ViewControllerTransitionDelegate {
public:
    /// The prompt shown above the dots, with the picture "IconLock".
    static constexpr const char* kPrompt { "Create a pincode to secure your data." };

    /// The create screen for `username`.
    explicit CreatePinViewController(std::string username);
    std::string className() const override { return "CreatePinViewController"; }

    /// The lock prompt and a CreatePinController; the back button stays.
    std::shared_ptr<PinControllerProtocol> createControllerWithView(
        const std::shared_ptr<PinViewProtocol>& view) override;

    /// A new instant transition, whatever screen arrives.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// A new instant transition, whatever screen leaves.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;
};

}
