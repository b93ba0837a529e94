#pragma once

#include "platform/ui/NavigationController.h"

#include <memory>
#include <set>

namespace zorvik {

/// The app's one navigation stack. A screen pushed as no-history behaves as any other while it is on top,
/// and leaves the stack, without animation, as soon as another screen is pushed over it, so that going back
/// from that screen skips it. The screen under it is then the covered screen of that push.
class NoHistoryNavigationController : public platform::ui::NavigationController {
public:
    /// An empty stack.
    NoHistoryNavigationController();

    std::string className() const override { return "NoHistoryNavigationController"; }

    /// Records the controller as no-history, then pushes it as pushViewController() does.
    void pushNoHistoryViewController(
        const std::shared_ptr<platform::ui::ViewController>& controller, bool animated);
    /// Takes a no-history top screen off the stack without animation, then pushes the controller as asked.
    void pushViewController(
        const std::shared_ptr<platform::ui::ViewController>& controller, bool animated) override;

    /// Whether the controller was pushed as no-history.
    bool isNoHistory(const std::shared_ptr<platform::ui::ViewController>& controller) const;

private:
    std::set<std::weak_ptr<platform::ui::ViewController>, std::owner_less<>> m_noHistoryItems;
};

}
