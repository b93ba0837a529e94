#pragma once

#include "Zorvik/Controllers/ProfileFormController/ProfileFormController.h"
#include "ZorvikAPI/models/Business.h"

#include <memory>

namespace zorvik {

class CompanyProfileView;

/// Saves the business details form to the signed-in freelancer's live business record: the eight keys of
/// its name and address, the country kept as the record has it; fails with
/// "There was a problem updating your business information.".
class CompanyProfileController : public ProfileFormController {
public:
    /// A controller of `view` over `business` that becomes the view's controller.
    static std::shared_ptr<CompanyProfileController> make(api::Business business,
        std::shared_ptr<CompanyProfileView> view,
        std::weak_ptr<platform::ui::NavigationController> navigationController);

    /// Checks the name, sends the form, and answers the form with the fields as saved.
    void save(SavedBlock saved, SaveFailedBlock saveFailed) override;

    const api::Business& business() const { return m_business; }
    const std::shared_ptr<CompanyProfileView>& view() const { return m_view; }

    /// Use make().
    CompanyProfileController(api::Business business, std::shared_ptr<CompanyProfileView> view,
        std::weak_ptr<platform::ui::NavigationController> navigationController);

private:
    api::Business m_business;
    std::shared_ptr<CompanyProfileView> m_view;
};

}
