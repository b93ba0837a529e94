#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The screen that shows the invoice recipient picked in a search.
class InvoiceRecipientSelectedViewController : public platform::ui::ViewController,
                                               public ViewControllerTransitionDelegate {
public:
    std::string className() const override { return "InvoiceRecipientSelectedViewController"; }

    /// A new instant transition, whatever screen arrives.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// A new instant transition, whatever screen leaves.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;
};

}
