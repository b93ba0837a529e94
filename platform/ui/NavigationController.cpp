#include "platform/ui/NavigationController.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TransitionAnimator.h"
#include "platform/ui/TransitionContext.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <stdexcept>

namespace platform::ui {

namespace {

/// The standard change: a push slides the incoming view in from the right over the outgoing one, which
/// moves a little to the left; a pop does the reverse.
class StandardSlide final : public TransitionAnimator {
public:
    explicit StandardSlide(NavigationOperation operation)
        : m_operation(operation)
    {
    }

    double transitionDuration(const TransitionContext*) const override
    {
        return NavigationController::defaultTransitionDuration;
    }

    void animateTransition(const std::shared_ptr<TransitionContext>& context) override
    {
        auto container = context->containerView();
        auto from = context->view(TransitionContext::Key::From);
        auto to = context->view(TransitionContext::Key::To);
        Rect bounds = container->bounds();
        double width = bounds.width();
        bool push = m_operation != NavigationOperation::Pop;
        if (push) {
            container->addSubview(to);
            to->setFrame(bounds.offsetBy(width, 0));
        } else {
            container->insertSubviewBelow(to, *from);
            to->setFrame(bounds.offsetBy(-width * parallax, 0));
        }
        Animation::animate(
            context->duration(),
            [&] {
                to->setFrame(bounds);
                from->setFrame(push ? bounds.offsetBy(-width * parallax, 0) : bounds.offsetBy(width, 0));
            },
            [context, from, bounds](bool) {
                from->setFrame(bounds);
                context->completeTransition(true);
            });
    }

private:
    static constexpr double parallax = 0.3;

    NavigationOperation m_operation;
};

bool contains(
    const std::vector<std::shared_ptr<ViewController>>& controllers, const ViewController* controller)
{
    return std::any_of(
        controllers.begin(), controllers.end(), [&](auto& c) { return c.get() == controller; });
}

void warn(const std::string& message)
{
    foundation::Log().write("Warning: " + message);
}

}

NavigationController::NavigationController() = default;

NavigationController::~NavigationController() = default;

std::shared_ptr<ViewController> NavigationController::topViewController() const
{
    return m_stack.empty() ? nullptr : m_stack.back();
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const
{
    auto top = topViewController();
    if (!top)
        return nullptr;
    auto presented = top->presentedViewController();
    return presented ? presented : top;
}

void NavigationController::pushViewController(
    const std::shared_ptr<ViewController>& controller, bool animated)
{
    if (!controller)
        throw std::invalid_argument(
            "Application tried to push a nil view controller on <" + className() + ">");
    if (contains(m_stack, controller.get()))
        throw std::invalid_argument(
            "Pushing the same view controller instance more than once is not supported (<"
            + controller->className() + ">)");
    if (auto parent = controller->parent(); parent && parent.get() != this)
        throw std::invalid_argument(
            "<" + controller->className() + "> is already shown by another container");
    bool waits = waitForTransition([controller, animated](NavigationController& navigation) {
        if (contains(navigation.m_stack, controller.get()) || controller->parent()) {
            warn("dropped a push of <" + controller->className() + ">, which is shown already");
            return;
        }
        navigation.pushViewController(controller, animated);
    });
    if (waits)
        return;
    auto controllers = m_stack;
    controllers.push_back(controller);
    changeStack(std::move(controllers), animated);
}

std::shared_ptr<ViewController> NavigationController::popViewController(bool animated)
{
    if (waitForTransition(
            [animated](NavigationController& navigation) { navigation.popViewController(animated); }))
        return nullptr;
    if (m_stack.size() <= 1)
        return nullptr;
    auto popped = m_stack.back();
    auto controllers = m_stack;
    controllers.pop_back();
    changeStack(std::move(controllers), animated);
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToViewController(
    const ViewController& controller, bool animated)
{
    std::weak_ptr<const ViewController> target = controller.weak_from_this();
    bool waits = waitForTransition([target, animated](NavigationController& navigation) {
        auto controller = target.lock();
        if (!controller || !contains(navigation.m_stack, controller.get())) {
            warn("dropped a pop to a view controller that has left the stack");
            return;
        }
        navigation.popToViewController(*controller, animated);
    });
    if (waits)
        return {};
    auto position
        = std::find_if(m_stack.begin(), m_stack.end(), [&](auto& c) { return c.get() == &controller; });
    if (position == m_stack.end())
        throw std::logic_error("Tried to pop to a view controller that doesn't exist.");
    std::vector<std::shared_ptr<ViewController>> popped(position + 1, m_stack.end());
    std::vector<std::shared_ptr<ViewController>> controllers(m_stack.begin(), position + 1);
    changeStack(std::move(controllers), animated);
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRootViewController(bool animated)
{
    if (waitForTransition(
            [animated](NavigationController& navigation) { navigation.popToRootViewController(animated); }))
        return {};
    if (m_stack.empty())
        return {};
    return NavigationController::popToViewController(*m_stack.front(), animated);
}

void NavigationController::setViewControllers(
    std::vector<std::shared_ptr<ViewController>> controllers, bool animated)
{
    for (std::size_t i = 0; i < controllers.size(); ++i) {
        if (!controllers[i])
            throw std::invalid_argument("setViewControllers was given a nil view controller");
        if (std::find(controllers.begin(), controllers.begin() + std::ptrdiff_t(i), controllers[i])
            != controllers.begin() + std::ptrdiff_t(i))
            throw std::invalid_argument("All view controllers in a navigation controller must be distinct (<"
                + controllers[i]->className() + "> appears twice)");
        if (auto parent = controllers[i]->parent(); parent && parent.get() != this)
            throw std::invalid_argument(
                "<" + controllers[i]->className() + "> is already shown by another container");
    }
    bool waits = waitForTransition([controllers, animated](NavigationController& navigation) {
        navigation.setViewControllers(controllers, animated);
    });
    if (waits)
        return;
    changeStack(std::move(controllers), animated);
}

void NavigationController::setNavigationBarHidden(bool hidden, bool)
{
    m_navigationBarHidden = hidden;
    Application::shared().updateStatusBarAppearance();
}

std::shared_ptr<ViewController> NavigationController::childViewControllerForStatusBarStyle() const
{
    return m_navigationBarHidden ? topViewController() : nullptr;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::appearanceChildren() const
{
    if (m_transition || m_stack.empty())
        return {};
    return { m_stack.back() };
}

void NavigationController::loadView()
{
    setView(std::make_shared<View>(Screen::main().bounds()));
    if (auto top = topViewController())
        showTopView(top);
}

void NavigationController::showTopView(const std::shared_ptr<ViewController>& controller)
{
    auto container = viewIfLoaded();
    if (!container)
        return;
    auto view = controller->view();
    view->setFrame(container->bounds());
    if (view->superview() != container)
        container->addSubview(view);
}

void NavigationController::changeStack(
    std::vector<std::shared_ptr<ViewController>> controllers, bool animated)
{
    auto self = std::static_pointer_cast<NavigationController>(shared_from_this());
    Change change;
    change.before = m_stack;
    change.from = topViewController();
    change.to = controllers.empty() ? nullptr : controllers.back();
    change.animated = animated;
    for (auto& controller : m_stack) {
        if (!contains(controllers, controller.get()))
            change.removed.push_back(controller);
    }
    for (auto& controller : controllers) {
        if (!contains(m_stack, controller.get()))
            change.added.push_back(controller);
    }
    m_stack = std::move(controllers);
    for (auto& controller : change.added)
        adoptChild(*controller);

    auto state = appearanceState();
    bool onScreen
        = isViewLoaded() && (state == AppearanceState::Appeared || state == AppearanceState::Appearing);
    if (!onScreen || change.from == change.to) {
        swapWithoutCallbacks(change);
        letGo(change.removed);
        return;
    }

    auto& from = change.from;
    auto& to = change.to;
    bool movingIn = to && contains(change.added, to.get());
    if (from)
        setMovingFlags(*from, false, contains(change.removed, from.get()));
    if (to) {
        setMovingFlags(*to, movingIn, false);
        to->loadViewIfNeeded();
    }
    auto listener = delegate();

    if (!animated || !from || !to) {
        if (from)
            from->beginAppearanceTransition(false, false);
        if (to)
            to->beginAppearanceTransition(true, false);
        if (listener && to)
            listener->willShow(*this, *to, false);
        swapWithoutCallbacks(change);
        finishTransition(std::move(change), true);
        return;
    }

    auto operation = movingIn ? NavigationOperation::Push : NavigationOperation::Pop;
    std::weak_ptr<NavigationController> weakSelf = self;
    auto context = std::make_shared<TransitionContext>(
        view(), from, to, true, [weakSelf, change](bool completed) mutable {
            if (auto navigation = weakSelf.lock())
                navigation->finishTransition(std::move(change), completed);
        });
    m_transition = context;
    from->beginAppearanceTransition(false, true);
    to->beginAppearanceTransition(true, true);
    if (listener)
        listener->willShow(*this, *to, true);
    std::shared_ptr<TransitionAnimator> animator;
    if (listener)
        animator = listener->animationController(*this, operation, from, to);
    if (!animator)
        animator = std::make_shared<StandardSlide>(operation);
    context->setDuration(animator->transitionDuration(context.get()));
    animator->animateTransition(context);
}

void NavigationController::swapWithoutCallbacks(const Change& change)
{
    auto container = viewIfLoaded();
    if (!container)
        return;
    if (change.from && change.from != change.to) {
        auto view = change.from->viewIfLoaded();
        if (view && view->superview() == container)
            view->removeFromSuperview();
    }
    if (change.to)
        showTopView(change.to);
}

void NavigationController::finishTransition(Change change, bool completed)
{
    auto self = shared_from_this();
    m_transition = nullptr;
    auto container = view();
    auto& from = change.from;
    auto& to = change.to;
    if (completed) {
        if (from && from != to) {
            auto view = from->viewIfLoaded();
            if (view && view->superview() == container)
                view->removeFromSuperview();
        }
        if (to && to->view()->superview() != container)
            showTopView(to);
        if (from)
            from->endAppearanceTransition();
        if (to)
            to->endAppearanceTransition();
        if (auto listener = delegate(); listener && to)
            listener->didShow(*this, *to, change.animated);
        letGo(change.removed);
    } else {
        m_stack = change.before;
        if (auto view = to->viewIfLoaded(); view && view->superview() == container)
            view->removeFromSuperview();
        showTopView(from);
        to->beginAppearanceTransition(false, change.animated);
        from->beginAppearanceTransition(true, change.animated);
        to->endAppearanceTransition();
        from->endAppearanceTransition();
        letGo(change.added);
    }
    if (from)
        setMovingFlags(*from, false, false);
    if (to)
        setMovingFlags(*to, false, false);
    Application::shared().updateStatusBarAppearance();
    runPendingChanges();
}

void NavigationController::letGo(const std::vector<std::shared_ptr<ViewController>>& controllers)
{
    auto container = viewIfLoaded();
    for (auto& controller : controllers) {
        if (contains(m_stack, controller.get()))
            continue;
        auto view = controller->viewIfLoaded();
        if (container && view && view->superview() == container)
            view->removeFromSuperview();
        releaseChild(*controller);
        setMovingFlags(*controller, false, false);
    }
}

bool NavigationController::waitForTransition(std::function<void(NavigationController&)> change)
{
    if (!m_transition)
        return false;
    m_pending.push_back(std::move(change));
    return true;
}

void NavigationController::runPendingChanges()
{
    // A waiting change may itself change the stack without animation, which ends a change and comes
    // back here: the changes after it must wait until it is done, so only the outermost call runs them.
    if (m_runningPendingChanges)
        return;
    m_runningPendingChanges = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset { m_runningPendingChanges };
    while (!m_transition && !m_pending.empty()) {
        auto next = std::move(m_pending.front());
        m_pending.pop_front();
        next(*this);
    }
}

}
