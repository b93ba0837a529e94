#pragma once

#include "platform/ui/ViewController.h"

#include <string>

namespace zorvik {

/// The screen shown once after a successful sign-up: it records the sign-up for analytics and leads to the
/// folders screen of the signed-in freelancer.
class WelcomeViewController : public platform::ui::ViewController {
public:
    std::string className() const override { return "WelcomeViewController"; }

    /// A WelcomeView with this screen as its controller.
    void loadView() override;
    /// Posts analyticsSignedUp with {"username": the signed-in freelancer's e-mail}.
    void viewDidLoad() override;

    /// Pushes the folders screen of the signed-in freelancer, not animated (nothing off a stack or without a
    /// signed-in freelancer).
    void getStarted();
};

}
