#pragma once

#include "Zorvik/ViewControllers/PinViewController/PinViewController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The PIN log-in screen of a returning user.
class LoginWithPinViewController : public PinViewController {
public:
    /// The prompt under the logo.
    static constexpr const char* kPrompt { "Enter your pin." };

    /// The log-in screen for `username`; without `showBackButton` it shows no back button.
    LoginWithPinViewController(std::string username, bool showBackButton);

    std::string className() const override { return "LoginWithPinViewController"; }

    /// The logo with kPrompt (LogoAndPromptView4 on a 480-point-high screen), the back button hidden unless
    /// asked for, and a LoginWithPinController.
    std::shared_ptr<PinControllerProtocol> createControllerWithView(
        const std::shared_ptr<PinViewProtocol>& view) override;

    /// Whether the screen shows a back button.
    bool showBackButton() const { return m_showBackButton; }

private:
    bool m_showBackButton { false };
};

}
