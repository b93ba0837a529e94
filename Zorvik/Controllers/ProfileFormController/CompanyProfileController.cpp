#include "Zorvik/Controllers/ProfileFormController/CompanyProfileController.h"

#include "Zorvik/Models/FormChecks.h"
#include "Zorvik/Views/CompanyProfileView/CompanyProfileView.h"

namespace zorvik {

std::shared_ptr<CompanyProfileController> CompanyProfileController::make(api::Business business,
    std::shared_ptr<CompanyProfileView> view,
    std::weak_ptr<platform::ui::NavigationController> navigationController)
{
    auto controller = std::make_shared<CompanyProfileController>(
        std::move(business), std::move(view), std::move(navigationController));
    controller->m_view->setController(controller);
    return controller;
}

CompanyProfileController::CompanyProfileController(api::Business business,
    std::shared_ptr<CompanyProfileView> view,
    std::weak_ptr<platform::ui::NavigationController> navigationController)
    : ProfileFormController(
        std::move(navigationController), "There was a problem updating your business information.")
    , m_business(std::move(business))
    , m_view(std::move(view))
{
}

void CompanyProfileController::save(SavedBlock saved, SaveFailedBlock saveFailed)
{
    api::Business changes(m_view->currentDocument().dictionary());
    saveChanges(
        m_business, changes.record(), FormChecks::businessProblem(changes.name().value_or("")),
        [this] { return m_view->currentDocument(); }, std::move(saved), std::move(saveFailed));
}

}
