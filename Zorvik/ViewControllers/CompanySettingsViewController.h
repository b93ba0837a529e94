#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The business settings screen.
class CompanySettingsViewController : public platform::ui::ViewController,
                                      public ViewControllerTransitionDelegate {
public:
    std::string className() const override { return "CompanySettingsViewController"; }

    /// The start screen (the log-out replacement of the whole stack) arrives by a fade of 0.4 s; any other
    /// screen slides in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// Screens leave as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;
};

}
