#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The new-invoice screen of the invoice editor (also used to duplicate an invoice).
class CreateInvoiceViewController : public platform::ui::ViewController,
                                    public ViewControllerTransitionDelegate {
public:
    std::string className() const override { return "CreateInvoiceViewController"; }

    /// The line-items and preview screens (exactly those classes) arrive rising over this one; any other
    /// screen slides in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// The line-items and preview screens (exactly those classes) leave dropping away; any other screen
    /// leaves as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;
};

}
