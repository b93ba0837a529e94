#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The base e-mail screen of the sign-up and log-in roads.
class EnterEmailViewController : public platform::ui::ViewController,
                                 public ViewControllerTransitionDelegate {
public:
    std::string className() const override { return "EnterEmailViewController"; }

    /// Screens arrive sliding in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// Screens leave as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;
};

}
