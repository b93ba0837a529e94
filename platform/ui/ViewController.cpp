#include "platform/ui/ViewController.h"

#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <cxxabi.h>

#include <atomic>
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

void doNothing(ViewController&, bool)
{
}

// The base implementations of viewDidAppear and viewDidDisappear, in the order of AppearanceMethod.
std::atomic<ViewController::AppearanceImplementation> gAppearanceImplementations[2] { &doNothing,
    &doNothing };

std::shared_ptr<RootHostView> rootHost(const Window& window)
{
    for (auto& subview : window.subviews()) {
        if (auto host = std::dynamic_pointer_cast<RootHostView>(subview))
            return host;
    }
    return nullptr;
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

void ViewController::viewDidAppear(bool animated)
{
    gAppearanceImplementations[static_cast<int>(AppearanceMethod::ViewDidAppear)].load()(*this, animated);
}

void ViewController::viewDidDisappear(bool animated)
{
    gAppearanceImplementations[static_cast<int>(AppearanceMethod::ViewDidDisappear)].load()(*this, animated);
}

ViewController::AppearanceImplementation ViewController::replaceAppearanceImplementation(
    AppearanceMethod method, AppearanceImplementation implementation)
{
    return gAppearanceImplementations[static_cast<int>(method)].exchange(
        implementation ? implementation : &doNothing);
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
