#include "Zorvik/Controllers/ProfileFormController/ProfileFormController.h"

#include "Zorvik/Models/FormChecks.h"

namespace zorvik {

ProfileFormController::ProfileFormController(
    std::weak_ptr<platform::ui::NavigationController> navigationController, std::string failureMessage)
    : FormControllerObjc(std::move(navigationController))
    , m_failureMessage(std::move(failureMessage))
{
}

void ProfileFormController::saveChanges(const api::Resource& record,
    const platform::foundation::DictionaryRef& changes, const std::optional<std::string>& problem,
    std::function<Document()> savedDocument, SavedBlock saved, SaveFailedBlock saveFailed)
{
    if (problem) {
        saveFailed(FormChecks::kTitle, *problem, FormChecks::kButton);
        return;
    }
    std::weak_ptr<ProfileFormController> weakSelf = weak_from_this();
    auto failed = [weakSelf, saveFailed] {
        if (auto self = weakSelf.lock())
            saveFailed("Oops", self->m_failureMessage, "Try again.");
    };
    record.updateWithChanges(
        changes,
        [weakSelf, savedDocument = std::move(savedDocument), saved = std::move(saved)] {
            if (weakSelf.lock())
                saved(savedDocument());
        },
        failed, [failed](const platform::http::HttpError&) { failed(); });
}

}
