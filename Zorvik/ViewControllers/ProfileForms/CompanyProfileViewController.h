#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class CompanyProfileController;

/// The business details form screen, over the signed-in freelancer's business.
class CompanyProfileViewController : public platform::ui::ViewController {
public:
    /// A screen titled "Business info"; its form is built when its view loads.
    CompanyProfileViewController();

    std::string className() const override { return "CompanyProfileViewController"; }

    /// Builds a CompanyProfileView over the signed-in freelancer's live business record, then its controller.
    /// Without a signed-in freelancer and business the program stops: no screen can open this one before
    /// sign-up or log-in.
    void loadView() override;

    /// The form controller, null until the view has loaded.
    const std::shared_ptr<CompanyProfileController>& controller() const { return m_controller; }

private:
    std::shared_ptr<CompanyProfileController> m_controller;
};

}
