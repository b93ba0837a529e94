#pragma once

#include "Zorvik/Controllers/ProfileFormController/ProfileFormController.h"
#include "ZorvikAPI/models/VATRegistration.h"

#include <memory>

namespace zorvik {

class VATRegistrationView;

/// Saves the VAT form to the business's live VAT registration record: {"is_registered" (a boolean),
/// "registration_number"}, the number sent also while registration is off; fails with
/// "We couldn't save your VAT info".
class VATRegistrationController : public ProfileFormController {
public:
    /// A controller of `view` over `vatRegistration` that becomes the view's controller.
    static std::shared_ptr<VATRegistrationController> make(api::VATRegistration vatRegistration,
        std::shared_ptr<VATRegistrationView> view,
        std::weak_ptr<platform::ui::NavigationController> navigationController);

    /// Checks the number (while registered), sends the form, and answers the form with the changes sent.
    void save(SavedBlock saved, SaveFailedBlock saveFailed) override;

    const api::VATRegistration& vatRegistration() const { return m_vatRegistration; }
    const std::shared_ptr<VATRegistrationView>& view() const { return m_view; }

    /// Use make().
    VATRegistrationController(api::VATRegistration vatRegistration, std::shared_ptr<VATRegistrationView> view,
        std::weak_ptr<platform::ui::NavigationController> navigationController);

private:
    api::VATRegistration m_vatRegistration;
    std::shared_ptr<VATRegistrationView> m_view;
};

}
