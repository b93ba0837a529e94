#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class BankAccountController;

/// The bank account form screen, over the signed-in business's bank account.
class BankAccountViewController : public platform::ui::ViewController {
public:
    /// A screen titled "Bank account info"; its form is built when its view loads.
    BankAccountViewController();

    std::string className() const override { return "BankAccountViewController"; }

    /// Builds a BankAccountView over the signed-in business's live bank account record, then its controller.
    /// A business without one stops the program: sign-up and log-in make it before any screen can open this
    /// one.
    void loadView() override;

    /// The form controller, null until the view has loaded.
    const std::shared_ptr<BankAccountController>& controller() const { return m_controller; }

private:
    std::shared_ptr<BankAccountController> m_controller;
};

}
