#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class EnterEmailControllerProtocol;
class EnterEmailView;

/// The base e-mail screen of the sign-up and log-in roads: it builds an EnterEmailView and asks its subclass
/// for the controller. The keyboard comes up each time the screen comes into view.
class EnterEmailViewController : public platform::ui::ViewController,
                                 public ViewControllerTransitionDelegate {
public:
    std::string className() const override { return "EnterEmailViewController"; }

    /// Builds the view, asks createControllerWithView() for the controller and keeps it.
    void loadView() override;
    /// Asks for a status bar update.
    void viewDidLoad() override;
    /// Makes the e-mail field the first responder.
    void viewDidAppear(bool animated) override;
    /// Light content.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override;

    /// The controller of `view`, made its controller. Throws std::logic_error when the screen is on no
    /// navigation controller.
    virtual std::shared_ptr<EnterEmailControllerProtocol> createControllerWithView(
        const std::shared_ptr<EnterEmailView>& view)
        = 0;

    /// Screens arrive sliding in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// Screens leave as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    /// The controller, null until the view is loaded.
    const std::shared_ptr<EnterEmailControllerProtocol>& controller() const { return m_controller; }
    /// The view, loading it first.
    std::shared_ptr<EnterEmailView> enterEmailView();

private:
    std::shared_ptr<EnterEmailControllerProtocol> m_controller;
};

/// The e-mail screen of the log-in road: greets with "Welcome back!" and leads to the PIN log-in.
class LoginWithEmailViewController : public EnterEmailViewController {
public:
    std::string className() const override { return "LoginWithEmailViewController"; }
    /// A LoginWithEmailController.
    std::shared_ptr<EnterEmailControllerProtocol> createControllerWithView(
        const std::shared_ptr<EnterEmailView>& view) override;
};

/// The e-mail screen of the sign-up road: greets with "Nice to meet you!" and leads to the create-PIN screen.
class SignUpWithEmailViewController : public EnterEmailViewController {
public:
    std::string className() const override { return "SignUpWithEmailViewController"; }
    /// A SignUpWithEmailController.
    std::shared_ptr<EnterEmailControllerProtocol> createControllerWithView(
        const std::shared_ptr<EnterEmailView>& view) override;
};

}
