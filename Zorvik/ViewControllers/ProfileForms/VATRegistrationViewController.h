#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class VATRegistrationController;

/// The VAT registration form screen, over the signed-in business's VAT registration.
class VATRegistrationViewController : public platform::ui::ViewController {
public:
    /// A screen titled "VAT info"; its form is built when its view loads.
    VATRegistrationViewController();

    std::string className() const override { return "VATRegistrationViewController"; }

    /// Builds a VATRegistrationView over the signed-in business's live VAT registration record, then its
    /// controller. A business without one stops the program: sign-up and log-in make it before any screen can
    /// open this one.
    void loadView() override;

    /// The form controller, null until the view has loaded.
    const std::shared_ptr<VATRegistrationController>& controller() const { return m_controller; }

private:
    std::shared_ptr<VATRegistrationController> m_controller;
};

}
