#pragma once

#include <memory>

namespace platform::ui {
class TransitionAnimator;
class ViewController;
}

namespace zorvik {

/// A screen that chooses how the screens above it arrive and leave. The screen lower on the stack decides
/// in both directions; an answer of null gets the platform's standard animation.
class ViewControllerTransitionDelegate {
public:
    virtual ~ViewControllerTransitionDelegate() = default;

    /// The animator for a pop back to this screen; `popped` is the screen that leaves.
    virtual std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped)
        = 0;
    /// The animator for a push over this screen; `pushed` is the screen that arrives.
    virtual std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed)
        = 0;
};

}
