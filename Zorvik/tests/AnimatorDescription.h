#pragma once

#include "Zorvik/ViewControllers/Transitions/Animations/FadeViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/InstantViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"

#include <memory>
#include <string>

namespace zorvik::test {

/// An animator in words, for comparing what screens choose: "RiseOver", "SlideInFromLeft", "Fade 0.4",
/// "Instant", or "platform" for none.
inline std::string describeAnimator(const std::shared_ptr<platform::ui::TransitionAnimator>& animator)
{
    if (!animator)
        return "platform";
    if (auto horizontal = std::dynamic_pointer_cast<HorizontalViewControllerTransition>(animator))
        return horizontal->action() == HorizontalViewControllerTransitionAction::SlideInFromLeft
            ? "SlideInFromLeft"
            : "SlideInFromRight";
    if (auto vertical = std::dynamic_pointer_cast<VerticalViewControllerTransition>(animator)) {
        switch (vertical->action()) {
        case VerticalViewControllerTransitionAction::RiseOver:
            return "RiseOver";
        case VerticalViewControllerTransitionAction::DropAway:
            return "DropAway";
        case VerticalViewControllerTransitionAction::RiseAway:
            return "RiseAway";
        }
    }
    if (auto fade = std::dynamic_pointer_cast<FadeViewControllerTransition>(animator))
        return "Fade " + std::to_string(fade->fadeTime()).substr(0, 3);
    if (std::dynamic_pointer_cast<InstantViewControllerTransition>(animator))
        return "Instant";
    return "unknown";
}

}
