#include "platform/ui/TransitionContext.h"

#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

namespace platform::ui {

TransitionContext::TransitionContext(std::shared_ptr<View> container, std::shared_ptr<ViewController> from,
    std::shared_ptr<ViewController> to, bool animated, Completed completed)
    : m_container(std::move(container))
    , m_from(std::move(from))
    , m_to(std::move(to))
    , m_animated(animated)
    , m_completedHandler(std::move(completed))
{
}

std::shared_ptr<ViewController> TransitionContext::viewController(Key key) const
{
    return key == Key::From ? m_from : m_to;
}

std::shared_ptr<View> TransitionContext::view(Key key) const
{
    auto controller = viewController(key);
    return controller ? controller->view() : nullptr;
}

Rect TransitionContext::initialFrame(const ViewController& controller) const
{
    if (&controller == m_from.get() && m_container)
        return m_container->bounds();
    return Rect::zero();
}

Rect TransitionContext::finalFrame(const ViewController& controller) const
{
    if (&controller == m_to.get() && m_container)
        return m_container->bounds();
    return Rect::zero();
}

void TransitionContext::completeTransition(bool didComplete)
{
    if (m_completed)
        return;
    m_completed = true;
    m_didComplete = didComplete;
    auto completed = std::move(m_completedHandler);
    m_completedHandler = nullptr;
    if (completed)
        completed(didComplete);
}

}
