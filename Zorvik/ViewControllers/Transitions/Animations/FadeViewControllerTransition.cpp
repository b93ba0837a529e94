#include "Zorvik/ViewControllers/Transitions/Animations/FadeViewControllerTransition.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TransitionContext.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

namespace zorvik {

using platform::ui::Animation;
using platform::ui::TransitionContext;

FadeViewControllerTransition::FadeViewControllerTransition(double fadeTime)
    : m_fadeTime(fadeTime)
{
}

double FadeViewControllerTransition::transitionDuration(const TransitionContext*) const
{
    return duration;
}

void FadeViewControllerTransition::animateTransition(const std::shared_ptr<TransitionContext>& context)
{
    auto to = context->viewController(TransitionContext::Key::To)->view();
    auto from = context->viewController(TransitionContext::Key::From)->view();
    to->setAlpha(0);
    context->containerView()->insertSubviewAbove(to, *from);
    double half = m_fadeTime * 0.5;
    to->setFrame({ to->frame().origin, platform::ui::Screen::main().bounds().size });
    Animation::animate(
        half, [from] { from->setAlpha(0); },
        [context, to, from, half](bool) {
            Animation::animate(
                half, [to] { to->setAlpha(1); },
                [context, from](bool) {
                    from->setAlpha(1);
                    context->completeTransition(true);
                });
        });
}

}
