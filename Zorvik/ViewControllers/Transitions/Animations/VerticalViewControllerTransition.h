#pragma once

#include "platform/ui/TransitionAnimator.h"

#include <memory>

namespace zorvik {

/// How a vertical transition moves.
enum class VerticalViewControllerTransitionAction {
    /// The incoming screen rises from below the screen and covers the outgoing one.
    RiseOver = 0,
    /// The outgoing screen drops off the bottom and uncovers the incoming one behind it.
    DropAway = 1,
    /// The outgoing screen rises off the top and uncovers the incoming one behind it.
    RiseAway = 2,
};

/// The move of screens that behave like sheets: one screen moves vertically over or away from the other,
/// over 0.4 s, across the main screen's height. The screen that does not move keeps its place and size.
class VerticalViewControllerTransition : public platform::ui::TransitionAnimator {
public:
    /// How long the move takes, in seconds.
    static constexpr double duration = 0.4;

    /// An animator for one move of the kind `action`.
    explicit VerticalViewControllerTransition(VerticalViewControllerTransitionAction action);

    /// The kind of move.
    VerticalViewControllerTransitionAction action() const { return m_action; }

    /// 0.4 s.
    double transitionDuration(const platform::ui::TransitionContext* context) const override;
    /// Places the incoming view (on top for RiseOver, behind at the origin otherwise), sizes the moving view
    /// to the screen and moves it to its target y; the transition then completes with success.
    void animateTransition(const std::shared_ptr<platform::ui::TransitionContext>& context) override;

private:
    VerticalViewControllerTransitionAction m_action;
};

}
