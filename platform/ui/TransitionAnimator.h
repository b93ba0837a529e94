#pragma once

#include <memory>

namespace platform::ui {

class TransitionContext;

/// Animates one change between two screens: a navigation controller asks its delegate for one per animated
/// push or pop and drives it through a TransitionContext. An animator is made fresh for one transition.
class TransitionAnimator {
public:
    virtual ~TransitionAnimator() = default;

    /// How long the transition takes, in seconds. `context` may be null.
    virtual double transitionDuration(const TransitionContext* context) const = 0;
    /// Puts the incoming view into the context's container, animates, and calls the context's
    /// completeTransition() when done (at once, on the main queue's clock or inside this call). The context
    /// is shared so that completion blocks can keep it.
    virtual void animateTransition(const std::shared_ptr<TransitionContext>& context) = 0;
};

}
