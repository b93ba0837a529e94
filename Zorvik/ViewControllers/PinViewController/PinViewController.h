#pragma once

#include "platform/ui/ViewController.h"

#include <string>

namespace zorvik {

/// The base of the PIN screens: it belongs to the account of one e-mail address and has no nib.
class PinViewController : public platform::ui::ViewController {
public:
    /// A PIN screen for the account `username`.
    explicit PinViewController(std::string username);

    std::string className() const override { return "PinViewController"; }

    /// The e-mail address the PIN belongs to.
    const std::string& username() const { return m_username; }

private:
    std::string m_username;
};

}
