#pragma once

#include "platform/ui/TransitionAnimator.h"

#include <memory>

namespace zorvik {

/// The outgoing screen fades out, then the incoming one fades in, each over half the fade time. The outgoing
/// view is opaque again once the transition is over, so that it shows when it comes back later.
class FadeViewControllerTransition : public platform::ui::TransitionAnimator {
public:
    /// The duration the transition reports, whatever the fade time.
    static constexpr double duration = 0.4;

    /// An animator whose two fades take `fadeTime` seconds together.
    explicit FadeViewControllerTransition(double fadeTime);

    /// The time both fades take together, in seconds.
    double fadeTime() const { return m_fadeTime; }
    /// Sets the time both fades take together.
    void setFadeTime(double seconds) { m_fadeTime = seconds; }

    /// 0.4 s.
    double transitionDuration(const platform::ui::TransitionContext* context) const override;
    /// Puts the incoming view, transparent and sized to the screen, just above the outgoing one, fades the
    /// outgoing view out and then the incoming one in; the transition then completes with success.
    void animateTransition(const std::shared_ptr<platform::ui::TransitionContext>& context) override;

private:
    double m_fadeTime { 0.4 };
};

}
