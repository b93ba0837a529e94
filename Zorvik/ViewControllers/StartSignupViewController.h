#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The start screen of sign-up; it has no nib.
class StartSignupViewController : public platform::ui::ViewController,
                                  public ViewControllerTransitionDelegate {
public:
    /// The start screen, with a plain view.
    StartSignupViewController();
    std::string className() const override { return "StartSignupViewController"; }

    /// Screens arrive by a fade of 0.4 s.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// Screens leave by a fade of 0.4 s.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;
};

}
