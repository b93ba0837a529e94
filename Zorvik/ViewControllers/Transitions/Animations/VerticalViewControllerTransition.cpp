#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TransitionContext.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

namespace zorvik {

using platform::ui::TransitionContext;
using platform::ui::View;
using Action = VerticalViewControllerTransitionAction;

namespace {

void setY(View& view, double y)
{
    auto frame = view.frame();
    view.setFrame({ frame.x(), y, frame.width(), frame.height() });
}

}

VerticalViewControllerTransition::VerticalViewControllerTransition(
    VerticalViewControllerTransitionAction action)
    : m_action(action)
{
}

double VerticalViewControllerTransition::transitionDuration(const TransitionContext*) const
{
    return duration;
}

void VerticalViewControllerTransition::animateTransition(const std::shared_ptr<TransitionContext>& context)
{
    auto to = context->viewController(TransitionContext::Key::To)->view();
    auto from = context->viewController(TransitionContext::Key::From)->view();
    auto container = context->containerView();
    auto screen = platform::ui::Screen::main().bounds().size;
    container->addSubview(to);

    std::shared_ptr<View> moving = from;
    double targetY = 0;
    if (m_action == Action::RiseOver) {
        setY(*to, screen.height);
        moving = to;
    } else {
        container->sendSubviewToBack(*to);
        to->setFrame({ { 0, 0 }, to->frame().size });
        targetY = m_action == Action::RiseAway ? -screen.height : screen.height;
    }
    moving->setFrame({ moving->frame().origin, screen });

    platform::ui::Animation::animate(
        duration, 0, {}, [moving, targetY] { setY(*moving, targetY); },
        [context](bool) { context->completeTransition(true); });
}

}
