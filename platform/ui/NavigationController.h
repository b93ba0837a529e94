#pragma once

#include "platform/ui/ViewController.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace platform::ui {

class NavigationController;
class TransitionAnimator;
class TransitionContext;

/// The kind of change a navigation controller makes; the numbers are the platform's.
enum class NavigationOperation { None = 0, Push = 1, Pop = 2 };

/// Told about, and asked about, a navigation controller's changes. Every method has a default.
class NavigationControllerDelegate {
public:
    virtual ~NavigationControllerDelegate() = default;

    /// The animator for an animated change from `from` to `to`, or null for the standard slide.
    virtual std::shared_ptr<TransitionAnimator> animationController(NavigationController&,
        NavigationOperation, const std::shared_ptr<ViewController>& /*from*/,
        const std::shared_ptr<ViewController>& /*to*/)
    {
        return nullptr;
    }
    /// `controller` is about to be shown as the top of the stack.
    virtual void willShow(NavigationController&, ViewController& /*controller*/, bool /*animated*/) { }
    /// `controller` is shown as the top of the stack.
    virtual void didShow(NavigationController&, ViewController& /*controller*/, bool /*animated*/) { }
};

/// A stack of controllers of which the top one is shown, filling the navigation controller's view.
///
/// The stack (viewControllers(), topViewController()) changes as soon as a push, pop or replacement is asked
/// for. Showing the change is a transition: without animation it happens within the call; with animation the
/// delegate is asked for an animator (push = 1, pop = 2; a replacement counts as a push when its new top was
/// not on the stack before, else as a pop) and the standard slide of defaultTransitionDuration is used when
/// it answers null. The transition finishes only when the animator calls completeTransition() on the context:
/// then the outgoing view leaves, the did-appear and did-disappear callbacks run, controllers taken off the
/// stack are let go and the delegate hears didShow.
///
/// Appearance order: the outgoing top's viewWillDisappear, the incoming top's viewWillAppear, the delegate's
/// willShow; then, when the transition finishes, the outgoing viewDidDisappear, the incoming viewDidAppear
/// and the delegate's didShow. While the navigation controller is not on screen, changes swap views without
/// callbacks; its own appearance is forwarded to its top controller.
///
/// While a transition runs, further changes wait in order and are applied when it finishes (a pop that waits
/// returns null, a pop-to that waits returns nothing; a pop-to whose target has left the stack by then is
/// dropped with a log line). A waiting change is applied by calling the same virtual method again, so a
/// subclass's override sees it a second time, with the stack as it then stands. An override that decides
/// from the stack should therefore decide only when isInTransition() is false and otherwise just call the
/// base method, which keeps the change waiting.
///
/// The platform's navigation bar is not drawn: screens draw their own; the hidden flag is kept for them.
class NavigationController : public ViewController {
public:
    /// The duration of the standard slide, in seconds.
    static constexpr double defaultTransitionDuration = 0.35;

    /// An empty navigation controller; give it a root with setViewControllers() or pushViewController().
    NavigationController();
    ~NavigationController() override;

    /// The stack, bottom first.
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_stack; }
    /// The top of the stack, or null.
    std::shared_ptr<ViewController> topViewController() const;
    /// The controller the top one presents, else the top one.
    std::shared_ptr<ViewController> visibleViewController() const;

    /// Pushes a controller. Throws std::invalid_argument when it is null or already on the stack.
    virtual void pushViewController(const std::shared_ptr<ViewController>& controller, bool animated);
    /// Pops the top controller and returns it; null when only the root is left.
    virtual std::shared_ptr<ViewController> popViewController(bool animated);
    /// Pops every controller above `controller` and returns them, bottom first. Throws std::logic_error when
    /// `controller` is not on the stack.
    virtual std::vector<std::shared_ptr<ViewController>> popToViewController(
        const ViewController& controller, bool animated);
    /// Pops every controller above the root and returns them, bottom first.
    virtual std::vector<std::shared_ptr<ViewController>> popToRootViewController(bool animated);
    /// Replaces the stack. Throws std::invalid_argument when it holds null or the same controller twice.
    virtual void setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated);

    /// Whether the navigation bar is hidden.
    bool isNavigationBarHidden() const { return m_navigationBarHidden; }
    /// Hides or shows the navigation bar.
    void setNavigationBarHidden(bool hidden, bool animated);

    /// The delegate, or null.
    std::shared_ptr<NavigationControllerDelegate> delegate() const { return m_delegate.lock(); }
    /// Sets the delegate, held weakly.
    void setDelegate(const std::weak_ptr<NavigationControllerDelegate>& delegate) { m_delegate = delegate; }

    /// The transition running now, or null.
    const std::shared_ptr<TransitionContext>& transitionContext() const { return m_transition; }
    /// Whether a transition is running.
    bool isInTransition() const { return m_transition != nullptr; }

    /// The top controller while the navigation bar is hidden (so screens choose the status bar), else null.
    std::shared_ptr<ViewController> childViewControllerForStatusBarStyle() const override;
    /// The top controller, when the navigation controller is not in a transition.
    std::vector<std::shared_ptr<ViewController>> appearanceChildren() const override;

    /// Makes the container view and puts the top controller's view in it.
    void loadView() override;

private:
    struct Change {
        std::vector<std::shared_ptr<ViewController>> before;
        std::vector<std::shared_ptr<ViewController>> removed;
        std::vector<std::shared_ptr<ViewController>> added;
        std::shared_ptr<ViewController> from;
        std::shared_ptr<ViewController> to;
        bool animated { false };
    };

    void changeStack(std::vector<std::shared_ptr<ViewController>> controllers, bool animated);
    void swapWithoutCallbacks(const Change& change);
    void finishTransition(Change change, bool completed);
    void letGo(const std::vector<std::shared_ptr<ViewController>>& controllers);
    /// While a transition runs, keeps `change` to be made when the transition (and every change kept before
    /// it) has finished, and returns true; else returns false.
    bool waitForTransition(std::function<void(NavigationController&)> change);
    void runPendingChanges();
    void showTopView(const std::shared_ptr<ViewController>& controller);

    std::vector<std::shared_ptr<ViewController>> m_stack;
    std::weak_ptr<NavigationControllerDelegate> m_delegate;
    bool m_navigationBarHidden { false };
    std::shared_ptr<TransitionContext> m_transition;
    std::deque<std::function<void(NavigationController&)>> m_pending;
    bool m_runningPendingChanges { false };
};

}
