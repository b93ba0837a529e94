#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The read-only screen of a sent invoice, with duplicate and delete.
class ReadOnlyInvoiceViewController : public platform::ui::ViewController,
                                      public ViewControllerTransitionDelegate {
public:
    std::string className() const override { return "ReadOnlyInvoiceViewController"; }

    /// The duplicate-invoice screen (exactly a CreateInvoiceViewController) arrives rising over this one; any
    /// other screen slides in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// The duplicate-invoice screen (exactly a CreateInvoiceViewController) leaves dropping away; any other
    /// screen leaves as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;
};

}
