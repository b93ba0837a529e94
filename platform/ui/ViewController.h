#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/NibOwner.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

class NavigationController;
class View;
class Window;

/// How a presented controller covers the screen; the numbers are the platform's.
enum class ModalPresentationStyle {
    /// Covers the whole window; the presenter's view leaves the window and the presenter disappears.
    FullScreen = 0,
    /// Covers the whole window; the presenter's view stays beneath and the presenter does not disappear.
    OverFullScreen = 5,
    /// Covers the view of the presentation context (the presenter or its nearest ancestor that defines
    /// one, else the root); the views beneath stay and nobody disappears.
    OverCurrentContext = 6,
};

/// How a presented controller comes and goes when animated.
enum class ModalTransitionStyle { CoverVertical = 0, CrossDissolve = 2 };

/// The colour of the status bar's content; the numbers are the platform's.
enum class StatusBarStyle { Default = 0, LightContent = 1 };

/// Where a controller stands in its appearance.
enum class AppearanceState { Disappeared, Appearing, Appeared, Disappearing };

/// The controller of one screen: it owns a view, made on first use, hears when the view comes and goes, and
/// presents other controllers modally. Controllers are always held by std::shared_ptr (std::make_shared).
///
/// View loading: the first call of view() runs loadView() (which loads the nib named at creation with the
/// controller as owner and takes its first top-level view, or makes a plain view of the main screen's size),
/// then viewDidLoad().
///
/// Appearance: viewWillAppear / viewDidAppear / viewWillDisappear / viewDidDisappear are called by whoever
/// shows the view (a window's root, a navigation controller, a presentation) through
/// beginAppearanceTransition() and endAppearanceTransition(), which ignore repeats, so each callback runs
/// once per real change. Containers forward their own appearance to the children they show.
///
/// Presentation: presentViewController() shows another controller above this one's context. Not animated,
/// the presented controller has appeared when the call returns; animated, it appears after
/// modalTransitionDuration on the main queue's clock. The completion always runs on the main queue, after
/// the presented controller's viewDidAppear. Dismissal is the same in reverse.
class ViewController : public std::enable_shared_from_this<ViewController>, public NibOwner {
public:
    /// How long an animated presentation or dismissal takes, in seconds.
    static constexpr double modalTransitionDuration = 0.3;

    /// A controller that makes a plain view.
    ViewController();
    /// A controller whose view is the first top-level view of the nib `nibName`, loaded with the controller
    /// as owner (the nib must be registered, else view() throws NibError).
    explicit ViewController(std::string nibName);
    ~ViewController() override;

    /// The class name without namespace ("ViewController", "LoginViewController"), for the screen dump.
    virtual std::string className() const;

    // The view

    /// The view, loading it first when it is not loaded.
    std::shared_ptr<View> view();
    /// The view when it is loaded, else null (never loads it).
    std::shared_ptr<View> viewIfLoaded() const { return m_view; }
    /// Whether the view is loaded.
    bool isViewLoaded() const { return m_view != nullptr; }
    /// Loads the view when it is not loaded.
    void loadViewIfNeeded();
    /// Replaces the view (without calling viewDidLoad); loadView() overrides call it.
    void setView(std::shared_ptr<View> view);
    /// The nib the view is loaded from ("" for a plain view).
    const std::string& nibName() const { return m_nibName; }

    /// Makes the view: the nib's first top-level view, or a plain view with the main screen's bounds.
    /// Overrides build their own and hand it to setView() without calling this one.
    virtual void loadView();
    /// Called once, after the view was loaded.
    virtual void viewDidLoad() { }
    /// The view is about to come on screen.
    virtual void viewWillAppear(bool /*animated*/) { }
    /// The view came on screen. The base runs the process's implementation of it (see
    /// replaceAppearanceImplementation()); an override that does not call the base skips it.
    virtual void viewDidAppear(bool animated);
    /// The view is about to leave the screen.
    virtual void viewWillDisappear(bool /*animated*/) { }
    /// The view left the screen. The base runs the process's implementation of it, as viewDidAppear().
    virtual void viewDidDisappear(bool animated);

    /// The appearance methods whose base implementation can be replaced for the whole process.
    enum class AppearanceMethod { ViewDidAppear, ViewDidDisappear };
    /// An implementation of one of them, called with the controller and its animated flag.
    using AppearanceImplementation = void (*)(ViewController& controller, bool animated);
    /// Puts `implementation` in place of the base implementation of `method` for every controller and
    /// answers the one that was in effect (the platform's own, which does nothing; null puts that back).
    /// Thread-safe.
    static AppearanceImplementation replaceAppearanceImplementation(
        AppearanceMethod method, AppearanceImplementation implementation);

    /// Where the controller stands in its appearance.
    AppearanceState appearanceState() const { return m_appearance; }
    /// Starts an appearance change: calls viewWillAppear or viewWillDisappear unless the controller is
    /// already there or on its way, and forwards to appearanceChildren(). For containers and presentations.
    void beginAppearanceTransition(bool appearing, bool animated);
    /// Ends the change begun last: calls viewDidAppear or viewDidDisappear, and forwards to the children.
    void endAppearanceTransition();

    /// While a container adds the controller: true during its appearance callbacks.
    bool isMovingToParent() const { return m_movingToParent; }
    /// While a container removes the controller: true during its disappearance callbacks.
    bool isMovingFromParent() const { return m_movingFromParent; }
    /// True while the controller is being presented, until its viewDidAppear has run.
    bool isBeingPresented() const { return m_beingPresented; }
    /// True while the controller is being dismissed, until its viewDidDisappear has run.
    bool isBeingDismissed() const { return m_beingDismissed; }

    /// The title (empty unless set).
    const std::string& title() const { return m_title; }
    /// Sets the title.
    void setTitle(std::string title) { m_title = std::move(title); }

    // Containment

    /// The container holding the controller (a navigation controller), or null.
    std::shared_ptr<ViewController> parent() const { return m_parent.lock(); }
    /// The navigation controller whose stack holds this controller or one of its ancestors, or null.
    std::shared_ptr<NavigationController> navigationController() const;
    /// The children a container shows, to which it forwards its appearance (none for a plain controller).
    virtual std::vector<std::shared_ptr<ViewController>> appearanceChildren() const { return {}; }

    // Presentation

    /// How the controller covers the screen when presented.
    ModalPresentationStyle modalPresentationStyle() const { return m_presentationStyle; }
    /// Sets how the controller covers the screen when presented.
    void setModalPresentationStyle(ModalPresentationStyle style) { m_presentationStyle = style; }
    /// How the controller comes and goes when presented animated.
    ModalTransitionStyle modalTransitionStyle() const { return m_transitionStyle; }
    /// Sets how the controller comes and goes.
    void setModalTransitionStyle(ModalTransitionStyle style) { m_transitionStyle = style; }
    /// Whether controllers presented over the current context cover this controller's view.
    bool definesPresentationContext() const { return m_definesPresentationContext; }
    /// Sets whether this controller is a presentation context.
    void setDefinesPresentationContext(bool defines) { m_definesPresentationContext = defines; }

    /// Presents `controller` modally. The presenter is this controller's root ancestor (for over-current-
    /// context, its presentation context). Nothing happens, and a log line says why, when the presenter
    /// already presents a controller, is in the middle of a presentation, or is not in a window, or when
    /// `controller` refuses (refusePresentation()). Throws
    /// std::invalid_argument when `controller` is null, is this controller or is presented already.
    void presentViewController(const std::shared_ptr<ViewController>& controller, bool animated,
        std::function<void()> completion = {});
    /// Dismisses the controller this one (or an ancestor) presents, with any it presents in turn; when it
    /// presents none but was presented, asks its presenter to dismiss it. Nothing happens when neither.
    void dismissViewController(bool animated, std::function<void()> completion = {});
    /// The controller presented by this one or by an ancestor, or null.
    std::shared_ptr<ViewController> presentedViewController() const;
    /// The controller that presented this one (or an ancestor of it), or null.
    std::shared_ptr<ViewController> presentingViewController() const;

    // Status bar

    /// The status bar style the controller wants (default unless overridden).
    virtual StatusBarStyle preferredStatusBarStyle() const { return StatusBarStyle::Default; }
    /// The child whose preference wins over this controller's, or null.
    virtual std::shared_ptr<ViewController> childViewControllerForStatusBarStyle() const { return nullptr; }
    /// The style that shows when this controller is on screen: that of the controller it presents over the
    /// full screen, else of the child for the status bar, else its own.
    StatusBarStyle effectiveStatusBarStyle() const;
    /// Asks for the status bar to be brought up to date: counted here, and the application reads the style
    /// again from the key window's root.
    void setNeedsStatusBarAppearanceUpdate();
    /// How many times setNeedsStatusBarAppearanceUpdate() was called on this controller.
    std::size_t statusBarAppearanceUpdateCount() const { return m_statusBarUpdates; }

    // Windows

    /// Makes `controller` the window's root: its view goes in front of the window's subviews, filling it,
    /// and appears; the window keeps the controller. A former root disappears and leaves. Null removes the
    /// root.
    static void setRootViewController(Window& window, const std::shared_ptr<ViewController>& controller);
    /// The window's root controller, or null.
    static std::shared_ptr<ViewController> rootViewController(const Window& window);

protected:
    /// Asked just before the controller is presented: a reason to show nothing (logged by the presenter,
    /// whose completion then does not run), or nothing to go ahead.
    virtual std::optional<std::string> refusePresentation() { return std::nullopt; }
    /// For containers: makes this controller the parent of `child` (and, for a navigation controller, its
    /// navigation controller).
    void adoptChild(ViewController& child);
    /// For containers: `child` no longer has a parent.
    static void releaseChild(ViewController& child);
    /// For containers: sets the moving-to and moving-from flags of a child.
    static void setMovingFlags(ViewController& child, bool toParent, bool fromParent);

private:
    /// The controller that presents for this one: its root ancestor, or for over-current-context its context.
    std::shared_ptr<ViewController> presentationHost(ModalPresentationStyle style);
    std::shared_ptr<ViewController> rootAncestor();
    void finishPresentation(
        const std::shared_ptr<ViewController>& presented, std::function<void()> completion, bool animated);
    void startDismissal(bool animated, std::function<void()> completion);
    void finishDismissal(std::function<void()> completion, bool animated);
    Rect presentedFrame(const ViewController& presented) const;

    std::string m_nibName;
    std::shared_ptr<View> m_view;
    std::string m_title;
    AppearanceState m_appearance { AppearanceState::Disappeared };
    bool m_appearanceAnimated { false };
    bool m_movingToParent { false };
    bool m_movingFromParent { false };
    bool m_beingPresented { false };
    bool m_beingDismissed { false };

    std::weak_ptr<ViewController> m_parent;

    ModalPresentationStyle m_presentationStyle { ModalPresentationStyle::FullScreen };
    ModalTransitionStyle m_transitionStyle { ModalTransitionStyle::CoverVertical };
    bool m_definesPresentationContext { false };
    std::shared_ptr<ViewController> m_presented;
    std::weak_ptr<ViewController> m_presenting;
    bool m_presentationInProgress { false };
    std::weak_ptr<View> m_hiddenViewSuperview;
    std::size_t m_hiddenViewIndex { 0 };

    std::size_t m_statusBarUpdates { 0 };
};

}
