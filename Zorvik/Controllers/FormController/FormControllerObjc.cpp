#include "Zorvik/Controllers/FormController/FormControllerObjc.h"

#include "platform/ui/NavigationController.h"

namespace zorvik {

FormControllerObjc::FormControllerObjc(std::weak_ptr<platform::ui::NavigationController> navigationController)
    : m_navigationController(std::move(navigationController))
{
}

void FormControllerObjc::save(SavedBlock, SaveFailedBlock)
{
}

void FormControllerObjc::done()
{
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}

void FormControllerObjc::negativePressed()
{
}

}
