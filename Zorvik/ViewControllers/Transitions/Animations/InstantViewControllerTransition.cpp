#include "Zorvik/ViewControllers/Transitions/Animations/InstantViewControllerTransition.h"

#include "platform/ui/Screen.h"
#include "platform/ui/TransitionContext.h"
#include "platform/ui/View.h"

namespace zorvik {

using platform::ui::TransitionContext;

double InstantViewControllerTransition::transitionDuration(const TransitionContext*) const
{
    return 0;
}

void InstantViewControllerTransition::animateTransition(const std::shared_ptr<TransitionContext>& context)
{
    auto to = context->view(TransitionContext::Key::To);
    auto from = context->view(TransitionContext::Key::From);
    from->removeFromSuperview();
    to->setFrame({ to->frame().origin, platform::ui::Screen::main().bounds().size });
    context->containerView()->addSubview(to);
    context->completeTransition(true);
}

}
