#pragma once

#include "platform/ui/TransitionAnimator.h"

#include <memory>

namespace zorvik {

/// Which way a horizontal transition moves.
enum class HorizontalViewControllerTransitionAction {
    /// The incoming screen enters from the left edge and the outgoing one leaves to the right (going back).
    SlideInFromLeft = 0,
    /// The incoming screen enters from the right edge and the outgoing one leaves to the left (going
    /// forward).
    SlideInFromRight = 1,
};

/// The ordinary forward and back move: the incoming screen slides in sideways while the outgoing one slides
/// out the other way, over 0.4 s, across the main screen's width.
class HorizontalViewControllerTransition : public platform::ui::TransitionAnimator {
public:
    /// How long the move takes, in seconds.
    static constexpr double duration = 0.4;

    /// An animator for one move in the direction of `action`.
    explicit HorizontalViewControllerTransition(HorizontalViewControllerTransitionAction action);

    /// The direction of the move.
    HorizontalViewControllerTransitionAction action() const { return m_action; }

    /// 0.4 s.
    double transitionDuration(const platform::ui::TransitionContext* context) const override;
    /// Puts the incoming view on top, one screen width to the side, sizes both views to the screen and slides
    /// both by one width; the transition then completes with success.
    void animateTransition(const std::shared_ptr<platform::ui::TransitionContext>& context) override;

private:
    HorizontalViewControllerTransitionAction m_action;
};

}
