#pragma once

#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"

#include <memory>

namespace platform::ui {
class NavigationController;
}

namespace zorvik {

/// A ready-made observer for a NavigationBar whose left button goes back one screen. The bar holds its
/// observer weakly, so whoever makes one keeps it; it keeps its navigation controller.
class QVXPopNavigationBarDelegate : public NavigationBarDelegate {
public:
    /// A delegate that pops `navigationController`, animated or not.
    QVXPopNavigationBarDelegate(
        std::shared_ptr<platform::ui::NavigationController> navigationController, bool animated);

    /// The navigation controller it pops.
    const std::shared_ptr<platform::ui::NavigationController>& navigationController() const
    {
        return m_navigationController;
    }

    /// Pops one screen; nothing without a navigation controller.
    void negativePressed() override;

private:
    std::shared_ptr<platform::ui::NavigationController> m_navigationController;
    bool m_animated { false };
};

}
