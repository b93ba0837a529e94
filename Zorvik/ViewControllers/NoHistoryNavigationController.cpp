#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"

namespace zorvik {

using platform::ui::ViewController;

NoHistoryNavigationController::NoHistoryNavigationController() = default;

void NoHistoryNavigationController::pushNoHistoryViewController(
    const std::shared_ptr<ViewController>& controller, bool animated)
{
    std::erase_if(m_noHistoryItems, [](const auto& item) { return item.expired(); });
    if (controller)
        m_noHistoryItems.insert(controller);
    pushViewController(controller, animated);
}

void NoHistoryNavigationController::pushViewController(
    const std::shared_ptr<ViewController>& controller, bool animated)
{
    // A push asked for during a transition waits and comes back here once the transition ends; the
    // no-history screen is dropped then, against the stack as it stands.
    auto top = topViewController();
    if (!isInTransition() && top && top != controller && isNoHistory(top)) {
        auto controllers = viewControllers();
        controllers.pop_back();
        setViewControllers(std::move(controllers), false);
    }
    NavigationController::pushViewController(controller, animated);
}

bool NoHistoryNavigationController::isNoHistory(const std::shared_ptr<ViewController>& controller) const
{
    return m_noHistoryItems.contains(std::weak_ptr<ViewController>(controller));
}

}
