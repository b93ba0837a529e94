#pragma once

#include "Zorvik/ViewControllers/PinViewController/PinViewController.h"
#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"

#include <memory>
#include <string>

namespace zorvik {

/// The screen on which a new user chooses a PIN.
class CreatePinViewController : public PinViewController, public ViewControllerTransitionDelegate {
public:
    /// The create screen for `username`.
    explicit CreatePinViewController(std::string username);
    std::string className() const override { return "CreatePinViewController"; }

    /// A new instant transition, whatever screen arrives.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// A new instant transition, whatever screen leaves.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;
};

}
