#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TransitionContext.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

namespace zorvik {

using platform::ui::Rect;
using platform::ui::TransitionContext;
using platform::ui::View;

namespace {

void setX(View& view, double x)
{
    auto frame = view.frame();
    view.setFrame({ x, frame.y(), frame.width(), frame.height() });
}

void sizeToScreen(View& view)
{
    view.setFrame({ view.frame().origin, platform::ui::Screen::main().bounds().size });
}

}

HorizontalViewControllerTransition::HorizontalViewControllerTransition(
    HorizontalViewControllerTransitionAction action)
    : m_action(action)
{
}

double HorizontalViewControllerTransition::transitionDuration(const TransitionContext*) const
{
    return duration;
}

void HorizontalViewControllerTransition::animateTransition(const std::shared_ptr<TransitionContext>& context)
{
    auto to = context->viewController(TransitionContext::Key::To)->view();
    auto from = context->viewController(TransitionContext::Key::From)->view();
    context->containerView()->addSubview(to);
    double width = platform::ui::Screen::main().bounds().width();
    double offset = m_action == HorizontalViewControllerTransitionAction::SlideInFromLeft ? -width : width;
    setX(*to, offset);
    setX(*from, 0);
    sizeToScreen(*to);
    sizeToScreen(*from);
    platform::ui::Animation::animate(
        duration, 0, {},
        [to, from, offset] {
            setX(*to, 0);
            setX(*from, from->frame().x() - offset);
        },
        [context](bool) { context->completeTransition(true); });
}

}
