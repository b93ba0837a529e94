#pragma once

#include "platform/ui/Geometry.h"

#include <functional>
#include <memory>

namespace platform::ui {

class View;
class ViewController;

/// What an animator is given for one screen change: the container view in which the change happens, the
/// controllers (and their views) on both sides, where their views start and end, and the call that ends the
/// change. The owner of the change (a navigation controller) finishes its work only when
/// completeTransition() is called, once; later calls are ignored.
class TransitionContext {
public:
    /// The two sides of the change.
    enum class Key { From, To };
    /// Told once when the animator completes: whether the change took place (false: cancelled).
    using Completed = std::function<void(bool didComplete)>;

    /// A context for a change from `from` to `to` inside `container`.
    TransitionContext(std::shared_ptr<View> container, std::shared_ptr<ViewController> from,
        std::shared_ptr<ViewController> to, bool animated, Completed completed);

    /// The view in which the change happens; the incoming view must end up in it.
    const std::shared_ptr<View>& containerView() const { return m_container; }
    /// The controller on one side.
    std::shared_ptr<ViewController> viewController(Key key) const;
    /// The view of the controller on one side (loaded when needed).
    std::shared_ptr<View> view(Key key) const;
    /// The outgoing controller.
    const std::shared_ptr<ViewController>& fromViewController() const { return m_from; }
    /// The incoming controller.
    const std::shared_ptr<ViewController>& toViewController() const { return m_to; }

    /// Where the controller's view stands when the change starts: the container's bounds for the outgoing
    /// one, the zero rectangle (not known) for the incoming one.
    Rect initialFrame(const ViewController& controller) const;
    /// Where the controller's view must end: the container's bounds for the incoming one, the zero rectangle
    /// (it leaves) for the outgoing one.
    Rect finalFrame(const ViewController& controller) const;

    /// Whether the change is animated.
    bool isAnimated() const { return m_animated; }
    /// The duration the animator reported, in seconds.
    double duration() const { return m_duration; }
    /// Records the animator's duration (done by the owner of the change).
    void setDuration(double seconds) { m_duration = seconds; }

    /// Ends the change: `didComplete` false cancels it. Only the first call counts.
    void completeTransition(bool didComplete);
    /// Whether completeTransition() was called.
    bool isCompleted() const { return m_completed; }
    /// Whether the change was cancelled.
    bool transitionWasCancelled() const { return m_completed && !m_didComplete; }

private:
    std::shared_ptr<View> m_container;
    std::shared_ptr<ViewController> m_from;
    std::shared_ptr<ViewController> m_to;
    bool m_animated { true };
    double m_duration { 0 };
    bool m_completed { false };
    bool m_didComplete { false };
    Completed m_completedHandler;
};

}
