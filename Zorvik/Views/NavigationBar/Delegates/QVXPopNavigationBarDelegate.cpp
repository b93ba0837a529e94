#include "Zorvik/Views/NavigationBar/Delegates/QVXPopNavigationBarDelegate.h"

#include "platform/ui/NavigationController.h"

namespace zorvik {

QVXPopNavigationBarDelegate::QVXPopNavigationBarDelegate(
    std::shared_ptr<platform::ui::NavigationController> navigationController, bool animated)
    : m_navigationController(std::move(navigationController))
    , m_animated(animated)
{
}

void QVXPopNavigationBarDelegate::negativePressed()
{
    if (m_navigationController)
        m_navigationController->popViewController(m_animated);
}

}
