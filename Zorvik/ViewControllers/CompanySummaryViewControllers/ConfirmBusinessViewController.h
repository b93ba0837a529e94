#pragma once

#include "Zorvik/ViewControllers/CompanySummaryViewControllers/SignupWithCompanyViewController.h"

#include <string>

namespace zorvik {

/// The sign-up screen for a business the company register does not vouch for (a typed name, or a hit
/// without a registration number): the same chain, over a ConfirmBusinessView.
class ConfirmBusinessViewController : public SignupWithCompanyViewController {
public:
    using SignupWithCompanyViewController::SignupWithCompanyViewController;

    std::string className() const override { return "ConfirmBusinessViewController"; }

    /// The business's name and the confirm button, without a logo area.
    void loadView() override;
};

}
