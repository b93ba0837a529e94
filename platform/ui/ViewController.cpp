#include "platform/ui/ViewController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace platform::ui {

namespace {

/// Holds a window's root controller: the window keeps this view, the view keeps the controller, and the
/// controller's view fills it.
class RootHostView final : public View {
public:
    RootHostView(Rect frame, std::shared_ptr<ViewController> controller)
        : View(frame)
        , m_controller(std::move(controller))
    {
    }

    std::string className() const override { return "RootView"; }

    const std::shared_ptr<ViewController>& controller() const { return m_controller; }

    void layoutSubviews() override
    {
        auto view = m_controller->viewIfLoaded();
        if (view && view->superview().get() == this && view->translatesAutoresizingMaskIntoConstraints())
            view->setFrame(bounds());
    }

private:
    std::shared_ptr<ViewController> m_controller;
};

std::shared_ptr<RootHostView> rootHost(const Window& window)
{
    for (auto& subview : window.subviews()) {
        if (auto host = std::dynamic_pointer_cast<RootHostView>(subview))
            return host;
    }
    return nullptr;
}

void warn(const std::string& message)
{
    foundation::Log().write("Warning: " + message);
}

std::string nameOf(const ViewController& controller)
{
    return "<" + controller.className() + ">";
}

void runCompletion(std::function<void()> completion, bool animated)
{
    if (!completion)
        return;
    if (animated)
        completion();
    else
        foundation::mainQueue().async(std::move(completion));
}

}

ViewController::ViewController() = default;

ViewController::ViewController(std::string nibName)
    : m_nibName(std::move(nibName))
{
}

ViewController::~ViewController() = default;

std::string ViewController::className() const
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    auto colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

std::shared_ptr<View> ViewController::view()
{
    loadViewIfNeeded();
    return m_view;
}

void ViewController::loadViewIfNeeded()
{
    if (m_view)
        return;
    auto self = shared_from_this();
    loadView();
    if (!m_view)
        throw std::logic_error(className() + "'s loadView made no view");
    viewDidLoad();
}

void ViewController::setView(std::shared_ptr<View> view)
{
    m_view = std::move(view);
}

void ViewController::loadView()
{
    if (m_nibName.empty()) {
        setView(std::make_shared<View>(Screen::main().bounds()));
        return;
    }
    auto views = NibRegistry::load(m_nibName, this);
    setView(views.front());
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated)
{
    auto self = shared_from_this();
    if (appearing) {
        if (m_appearance == AppearanceState::Appeared || m_appearance == AppearanceState::Appearing)
            return;
        loadViewIfNeeded();
        m_appearance = AppearanceState::Appearing;
        m_appearanceAnimated = animated;
        viewWillAppear(animated);
    } else {
        if (m_appearance == AppearanceState::Disappeared || m_appearance == AppearanceState::Disappearing)
            return;
        m_appearance = AppearanceState::Disappearing;
        m_appearanceAnimated = animated;
        viewWillDisappear(animated);
    }
    for (auto& child : appearanceChildren())
        child->beginAppearanceTransition(appearing, animated);
}

void ViewController::endAppearanceTransition()
{
    auto self = shared_from_this();
    if (m_appearance == AppearanceState::Appearing) {
        m_appearance = AppearanceState::Appeared;
        viewDidAppear(m_appearanceAnimated);
    } else if (m_appearance == AppearanceState::Disappearing) {
        m_appearance = AppearanceState::Disappeared;
        viewDidDisappear(m_appearanceAnimated);
    } else {
        return;
    }
    for (auto& child : appearanceChildren())
        child->endAppearanceTransition();
}

std::shared_ptr<NavigationController> ViewController::navigationController() const
{
    for (auto parent = m_parent.lock(); parent; parent = parent->m_parent.lock()) {
        if (auto navigation = std::dynamic_pointer_cast<NavigationController>(parent))
            return navigation;
    }
    return nullptr;
}

void ViewController::adoptChild(ViewController& child)
{
    child.m_parent = weak_from_this();
}

void ViewController::releaseChild(ViewController& child)
{
    child.m_parent.reset();
}

void ViewController::setMovingFlags(ViewController& child, bool toParent, bool fromParent)
{
    child.m_movingToParent = toParent;
    child.m_movingFromParent = fromParent;
}

std::shared_ptr<ViewController> ViewController::rootAncestor()
{
    auto controller = shared_from_this();
    while (auto parent = controller->parent())
        controller = parent;
    return controller;
}

std::shared_ptr<ViewController> ViewController::presentationHost(ModalPresentationStyle style)
{
    if (style == ModalPresentationStyle::OverCurrentContext) {
        for (auto controller = shared_from_this(); controller; controller = controller->parent()) {
            if (controller->m_definesPresentationContext)
                return controller;
        }
    }
    return rootAncestor();
}

Rect ViewController::presentedFrame(const ViewController& presented) const
{
    Window* window = m_view->window();
    if (presented.m_presentationStyle == ModalPresentationStyle::OverCurrentContext)
        return m_view->convertRectTo(m_view->bounds(), nullptr);
    return window->bounds();
}

void ViewController::presentViewController(
    const std::shared_ptr<ViewController>& controller, bool animated, std::function<void()> completion)
{
    if (!controller)
        throw std::invalid_argument(
            "Application tried to present a nil modal view controller on " + nameOf(*this));
    if (controller.get() == this)
        throw std::invalid_argument("Application tried to present modally a view controller on itself");
    if (controller->m_presenting.lock() || controller->parent())
        throw std::invalid_argument(
            "Application tried to present modally an active controller " + nameOf(*controller));

    auto self = shared_from_this();
    if (auto reason = controller->refusePresentation()) {
        warn("Cannot present " + nameOf(*controller) + ": " + *reason);
        return;
    }
    auto host = presentationHost(controller->m_presentationStyle);
    if (host->m_presented) {
        warn("Attempt to present " + nameOf(*controller) + " on " + nameOf(*host)
            + " which is already presenting " + nameOf(*host->m_presented));
        return;
    }
    if (host->m_presentationInProgress) {
        warn("Attempt to present " + nameOf(*controller) + " on " + nameOf(*host)
            + " while a presentation is in progress");
        return;
    }
    auto hostView = host->view();
    Window* window = hostView->window();
    if (!window) {
        warn("Attempt to present " + nameOf(*controller) + " on " + nameOf(*host)
            + " whose view is not in the window hierarchy");
        return;
    }

    host->m_presented = controller;
    host->m_presentationInProgress = true;
    controller->m_presenting = host;
    controller->m_beingPresented = true;
    bool fullScreen = controller->m_presentationStyle == ModalPresentationStyle::FullScreen;

    auto presentedView = controller->view();
    Rect frame = host->presentedFrame(*controller);
    controller->beginAppearanceTransition(true, animated);
    if (fullScreen)
        host->beginAppearanceTransition(false, animated);
    window->addSubview(presentedView);

    if (!animated) {
        presentedView->setFrame(frame);
        presentedView->setAlpha(1);
        host->finishPresentation(controller, std::move(completion), false);
        return;
    }
    if (controller->m_transitionStyle == ModalTransitionStyle::CrossDissolve) {
        presentedView->setFrame(frame);
        presentedView->setAlpha(0);
    } else {
        presentedView->setFrame(frame.offsetBy(0, window->bounds().height()));
        presentedView->setAlpha(1);
    }
    Animation::animate(
        modalTransitionDuration,
        [&] {
            presentedView->setFrame(frame);
            presentedView->setAlpha(1);
        },
        [host, controller, completion = std::move(completion)](
            bool) mutable { host->finishPresentation(controller, std::move(completion), true); });
}

void ViewController::finishPresentation(
    const std::shared_ptr<ViewController>& presented, std::function<void()> completion, bool animated)
{
    auto self = shared_from_this();
    bool fullScreen = presented->m_presentationStyle == ModalPresentationStyle::FullScreen;
    if (fullScreen && m_view) {
        if (auto superview = m_view->superview()) {
            auto& siblings = superview->subviews();
            auto position = std::find(siblings.begin(), siblings.end(), m_view);
            m_hiddenViewSuperview = superview;
            m_hiddenViewIndex = std::size_t(position - siblings.begin());
            m_view->removeFromSuperview();
        }
    }
    presented->endAppearanceTransition();
    if (fullScreen)
        endAppearanceTransition();
    presented->m_beingPresented = false;
    m_presentationInProgress = false;
    Application::shared().updateStatusBarAppearance();
    runCompletion(std::move(completion), animated);
}

void ViewController::dismissViewController(bool animated, std::function<void()> completion)
{
    auto self = shared_from_this();
    std::shared_ptr<ViewController> host;
    for (auto controller = self; controller && !host; controller = controller->parent()) {
        if (controller->m_presented)
            host = controller;
    }
    if (!host)
        host = rootAncestor()->m_presenting.lock();
    if (host)
        host->startDismissal(animated, std::move(completion));
}

void ViewController::startDismissal(bool animated, std::function<void()> completion)
{
    auto self = shared_from_this();
    if (m_presentationInProgress) {
        warn("Attempt to dismiss from " + nameOf(*this) + " while a presentation or dismiss is in progress");
        return;
    }
    auto presented = m_presented;
    if (presented->m_presented)
        presented->startDismissal(false, {});

    m_presentationInProgress = true;
    presented->m_beingDismissed = true;
    auto presentedView = presented->view();
    presentedView->endEditing(true);
    bool fullScreen = presented->m_presentationStyle == ModalPresentationStyle::FullScreen;
    if (fullScreen && m_view && !m_view->superview()) {
        if (auto superview = m_hiddenViewSuperview.lock())
            superview->insertSubviewAt(m_view, m_hiddenViewIndex);
        m_hiddenViewSuperview.reset();
    }
    presented->beginAppearanceTransition(false, animated);
    if (fullScreen)
        beginAppearanceTransition(true, animated);

    Window* window = presentedView->window();
    if (!animated || !window) {
        finishDismissal(std::move(completion), false);
        return;
    }
    double height = window->bounds().height();
    bool dissolve = presented->m_transitionStyle == ModalTransitionStyle::CrossDissolve;
    Animation::animate(
        modalTransitionDuration,
        [&] {
            if (dissolve)
                presentedView->setAlpha(0);
            else
                presentedView->setFrame(presentedView->frame().offsetBy(0, height));
        },
        [self, completion = std::move(completion)](
            bool) mutable { self->finishDismissal(std::move(completion), true); });
}

void ViewController::finishDismissal(std::function<void()> completion, bool animated)
{
    auto self = shared_from_this();
    auto presented = std::move(m_presented);
    m_presented = nullptr;
    bool fullScreen = presented->m_presentationStyle == ModalPresentationStyle::FullScreen;
    presented->view()->removeFromSuperview();
    presented->view()->setAlpha(1);
    presented->endAppearanceTransition();
    if (fullScreen)
        endAppearanceTransition();
    presented->m_beingDismissed = false;
    presented->m_presenting.reset();
    m_presentationInProgress = false;
    Application::shared().updateStatusBarAppearance();
    runCompletion(std::move(completion), animated);
}

std::shared_ptr<ViewController> ViewController::presentedViewController() const
{
    for (auto controller = shared_from_this(); controller; controller = controller->parent()) {
        if (controller->m_presented)
            return controller->m_presented;
    }
    return nullptr;
}

std::shared_ptr<ViewController> ViewController::presentingViewController() const
{
    auto controller = shared_from_this();
    while (auto parent = controller->parent())
        controller = parent;
    return controller->m_presenting.lock();
}

StatusBarStyle ViewController::effectiveStatusBarStyle() const
{
    if (m_presented && m_presented->m_presentationStyle == ModalPresentationStyle::FullScreen)
        return m_presented->effectiveStatusBarStyle();
    if (auto child = childViewControllerForStatusBarStyle(); child && child.get() != this)
        return child->effectiveStatusBarStyle();
    return preferredStatusBarStyle();
}

void ViewController::setNeedsStatusBarAppearanceUpdate()
{
    ++m_statusBarUpdates;
    Application::shared().updateStatusBarAppearance();
}

void ViewController::setRootViewController(Window& window, const std::shared_ptr<ViewController>& controller)
{
    auto former = rootHost(window);
    if (former && former->controller() == controller)
        return;
    if (former) {
        auto formerController = former->controller();
        formerController->beginAppearanceTransition(false, false);
        former->removeFromSuperview();
        formerController->endAppearanceTransition();
    }
    if (controller) {
        auto host = std::make_shared<RootHostView>(window.bounds(), controller);
        auto view = controller->view();
        view->setFrame(host->bounds());
        host->addSubview(view);
        window.addSubview(host);
        controller->beginAppearanceTransition(true, false);
        controller->endAppearanceTransition();
    }
    Application::shared().updateStatusBarAppearance();
}

std::shared_ptr<ViewController> ViewController::rootViewController(const Window& window)
{
    auto host = rootHost(window);
    return host ? host->controller() : nullptr;
}

}
