#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The search screen that picks an invoice recipient.
class SelectInvoiceRecipientViewController : public platform::ui::ViewController,
                                             public ViewControllerTransitionDelegate {
public:
    std::string className() const override { return "SelectInvoiceRecipientViewController"; }

    /// A new instant transition, whatever screen arrives.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// A new instant transition, whatever screen leaves.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;
};

}
