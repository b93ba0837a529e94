#include "Zorvik/Controllers/FormController/FormController.h"

#include "platform/foundation/Assertion.h"
#include "platform/ui/NavigationController.h"

namespace zorvik {

FormController::FormController(std::shared_ptr<platform::ui::NavigationController> navigationController)
    : m_navigationController(std::move(navigationController))
{
}

void FormController::save(SavedBlock, SaveFailedBlock)
{
    platform::foundation::fatalError("save(documentSaved:) not implemented in base class.");
}

void FormController::done()
{
    m_navigationController->popViewController(true);
}

void FormController::negativePressed()
{
}

}
