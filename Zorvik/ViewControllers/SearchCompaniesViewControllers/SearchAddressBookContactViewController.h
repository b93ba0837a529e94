#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The search screen over the device contacts, which comes up like a sheet.
class SearchAddressBookContactViewController : public platform::ui::ViewController,
                                               public ViewControllerTransitionDelegate {
public:
    std::string className() const override { return "SearchAddressBookContactViewController"; }

    /// Every screen arrives rising over this one.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// Every screen leaves rising off the top.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;
};

}
