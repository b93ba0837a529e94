#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class StartSignUpController;

/// The start screen of a person not signed in on this device: the introduction carousel with "Sign up",
/// "Log in" and the terms. It has no nib of its own; its view is a StartSignupView.
class StartSignupViewController : public platform::ui::ViewController,
                                  public ViewControllerTransitionDelegate {
public:
    /// The start screen; its view is built when it is first shown.
    StartSignupViewController();
    std::string className() const override { return "StartSignupViewController"; }

    /// Builds the StartSignupView and its StartSignUpController on the screen's navigation controller and the
    /// shared application. Throws std::logic_error when the screen is on no navigation controller.
    void loadView() override;
    /// Asks for a status bar update.
    void viewDidLoad() override;
    /// Light content.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override;

    /// Screens arrive by a fade of 0.4 s.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// Screens leave by a fade of 0.4 s.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    /// The controller of the screen's actions, null until the view is loaded.
    const std::shared_ptr<StartSignUpController>& controller() const { return m_controller; }

private:
    std::shared_ptr<StartSignUpController> m_controller;
};

}
