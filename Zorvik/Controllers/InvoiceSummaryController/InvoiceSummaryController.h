#pragma once

#include "Zorvik/Controllers/InvoiceSummaryController/InvoiceSummaryControllerProtocol.h"

#include <memory>

namespace platform::ui {
class NavigationController;
}

namespace zorvik {

class InvoiceSummaryViewProtocol;

/// Closes the invoice summary screen when its view asks.
class InvoiceSummaryController : public InvoiceSummaryControllerProtocol,
                                 public std::enable_shared_from_this<InvoiceSummaryController> {
public:
    /// A controller that pops the top screen of `navigationController` (held weakly) and is `view`'s
    /// controller.
    static std::shared_ptr<InvoiceSummaryController> make(
        const std::shared_ptr<InvoiceSummaryViewProtocol>& view,
        const std::weak_ptr<platform::ui::NavigationController>& navigationController);

    /// Pops the top screen, animated.
    void navigateBack() override;

private:
    std::weak_ptr<platform::ui::NavigationController> m_navigationController;
};

}
