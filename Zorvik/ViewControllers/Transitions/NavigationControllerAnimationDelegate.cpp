#include "Zorvik/ViewControllers/Transitions/NavigationControllerAnimationDelegate.h"

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "platform/ui/TransitionAnimator.h"

namespace zorvik {

using platform::ui::NavigationOperation;
using platform::ui::ViewController;

std::shared_ptr<platform::ui::TransitionAnimator> NavigationControllerAnimationDelegate::animationController(
    platform::ui::NavigationController&, NavigationOperation operation,
    const std::shared_ptr<ViewController>& from, const std::shared_ptr<ViewController>& to)
{
    switch (operation) {
    case NavigationOperation::Push:
        if (auto covered = std::dynamic_pointer_cast<ViewControllerTransitionDelegate>(from))
            return covered->pushAnimation(to);
        return nullptr;
    case NavigationOperation::Pop:
        if (auto uncovered = std::dynamic_pointer_cast<ViewControllerTransitionDelegate>(to))
            return uncovered->popAnimation(from);
        return nullptr;
    case NavigationOperation::None:
        return nullptr;
    }
    return nullptr;
}

}
