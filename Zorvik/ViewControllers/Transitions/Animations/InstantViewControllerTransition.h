#pragma once

#include "platform/ui/TransitionAnimator.h"

#include <memory>

namespace zorvik {

/// Swaps the screens at once: nothing is animated and the transition completes within the call.
class InstantViewControllerTransition : public platform::ui::TransitionAnimator {
public:
    /// 0 s.
    double transitionDuration(const platform::ui::TransitionContext* context) const override;
    /// Takes the outgoing view out, sizes the incoming one to the screen, adds it to the container and
    /// completes the transition with success.
    void animateTransition(const std::shared_ptr<platform::ui::TransitionContext>& context) override;
};

}
