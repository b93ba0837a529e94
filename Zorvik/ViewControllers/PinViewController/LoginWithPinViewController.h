#pragma once

#include "Zorvik/ViewControllers/PinViewController/PinViewController.h"

#include <string>

namespace zorvik {

/// The PIN log-in screen of a returning user.
class LoginWithPinViewController : public PinViewController {
public:
    /// The log-in screen for `username`; without `showBackButton` it shows no back button.
    LoginWithPinViewController(std::string username, bool showBackButton);

    std::string className() const override { return "LoginWithPinViewController"; }

    /// Whether the screen shows a back button.
    bool showBackButton() const { return m_showBackButton; }

private:
    bool m_showBackButton { false };
};

}
