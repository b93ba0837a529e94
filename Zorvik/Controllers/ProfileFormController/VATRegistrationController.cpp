#include "Zorvik/Controllers/ProfileFormController/VATRegistrationController.h"

#include "Zorvik/Models/FormChecks.h"
#include "Zorvik/Views/VATRegistrationView/VATRegistrationView.h"

namespace zorvik {

std::shared_ptr<VATRegistrationController> VATRegistrationController::make(
    api::VATRegistration vatRegistration, std::shared_ptr<VATRegistrationView> view,
    std::weak_ptr<platform::ui::NavigationController> navigationController)
{
    auto controller = std::make_shared<VATRegistrationController>(
        std::move(vatRegistration), std::move(view), std::move(navigationController));
    controller->m_view->setController(controller);
    return controller;
}

VATRegistrationController::VATRegistrationController(api::VATRegistration vatRegistration,
    std::shared_ptr<VATRegistrationView> view,
    std::weak_ptr<platform::ui::NavigationController> navigationController)
    : ProfileFormController(std::move(navigationController), "We couldn't save your VAT info")
    , m_vatRegistration(std::move(vatRegistration))
    , m_view(std::move(view))
{
}

void VATRegistrationController::save(SavedBlock saved, SaveFailedBlock saveFailed)
{
    api::VATRegistration changes(m_view->currentDocument().dictionary());
    auto problem = FormChecks::vatRegistrationProblem(
        changes.isRegistered(), changes.registrationNumber().value_or(""));
    saveChanges(
        m_vatRegistration, changes.record(), problem, [changes] { return changes.record(); },
        std::move(saved), std::move(saveFailed));
}

}
