#pragma once

#include "platform/ui/NavigationController.h"

#include <memory>

namespace zorvik {

/// The navigation controller's delegate that lets the screens choose the animation of every push and pop:
/// on a push the covered screen, on a pop the uncovered one, when it is a ViewControllerTransitionDelegate.
/// Otherwise (or when the screen answers null) the platform's standard animation runs.
class NavigationControllerAnimationDelegate : public platform::ui::NavigationControllerDelegate {
public:
    /// For a push, the `from` screen's pushAnimation() of `to`; for a pop, the `to` screen's popAnimation()
    /// of `from`; null otherwise.
    std::shared_ptr<platform::ui::TransitionAnimator> animationController(
        platform::ui::NavigationController& navigation, platform::ui::NavigationOperation operation,
        const std::shared_ptr<platform::ui::ViewController>& from,
        const std::shared_ptr<platform::ui::ViewController>& to) override;
};

}
