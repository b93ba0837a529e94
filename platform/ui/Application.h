#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Value.h"
#include "platform/ui/LocalNotification.h"
#include "platform/ui/NotificationScheduler.h"
#include "platform/ui/ViewController.h"

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

class Application;
class Window;

/// Where the application stands; the numbers are the platform's.
enum class ApplicationState { Active = 0, Inactive = 1, Background = 2 };

/// Which way the interface (and its status bar) is turned; the numbers are the platform's.
enum class InterfaceOrientation {
    Unknown = 0,
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeRight = 3,
    LandscapeLeft = 4,
};

/// The app's side of the application's life: every method has a default, so a delegate overrides what it
/// uses. All are called on the main queue.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;

    /// Launch is done; the delegate builds its window. `options` may be null. Returns whether it launched.
    virtual bool didFinishLaunching(Application&, const foundation::DictionaryRef& /*options*/)
    {
        return true;
    }
    /// The application became active (after launch, after a return to the foreground, after a system alert).
    virtual void didBecomeActive(Application&) { }
    /// The application is about to stop being active.
    virtual void willResignActive(Application&) { }
    /// The application went to the background.
    virtual void didEnterBackground(Application&) { }
    /// The application is about to come back from the background.
    virtual void willEnterForeground(Application&) { }
    /// The application is about to end.
    virtual void willTerminate(Application&) { }
    /// Another app asked this one to open `url`; returns whether it was handled (false by default).
    virtual bool openURL(Application&, const std::string& /*url*/,
        const std::optional<std::string>& /*sourceApplication*/, const foundation::Value& /*annotation*/)
    {
        return false;
    }
    /// The user answered the notification permission question with `settings`.
    virtual void didRegisterUserNotificationSettings(
        Application&, const UserNotificationSettings& /*settings*/)
    {
    }
    /// A local notification fired while the application was active.
    virtual void didReceiveLocalNotification(Application&, const LocalNotification& /*notification*/) { }
};

/// Makes the application delegate, for applicationMain.
using ApplicationDelegateFactory = std::function<std::shared_ptr<ApplicationDelegate>()>;

/// The one application object: its delegate and life cycle, the key window, the status bar, the local
/// notifications and icon badge (kept by the NotificationScheduler), URLs opened to the outside, and the
/// app's folders. Main queue only.
///
/// Life-cycle notifications go to the default notification centre with the application as object, after
/// the delegate's matching method: didFinishLaunchingNotification, didBecomeActiveNotification,
/// willResignActiveNotification, didEnterBackgroundNotification, willEnterForegroundNotification and
/// willTerminateNotification.
class Application {
public:
    static constexpr const char* didFinishLaunchingNotification = "ApplicationDidFinishLaunchingNotification";
    static constexpr const char* didBecomeActiveNotification = "ApplicationDidBecomeActiveNotification";
    static constexpr const char* willResignActiveNotification = "ApplicationWillResignActiveNotification";
    static constexpr const char* didEnterBackgroundNotification = "ApplicationDidEnterBackgroundNotification";
    static constexpr const char* willEnterForegroundNotification
        = "ApplicationWillEnterForegroundNotification";
    static constexpr const char* willTerminateNotification = "ApplicationWillTerminateNotification";
    /// The memory-warning notification's name. This platform gives no warning before memory runs out, so
    /// nothing posts it; its observers (the analytics kit) are ready should a test post it.
    static constexpr const char* didReceiveMemoryWarningNotification
        = "ApplicationDidReceiveMemoryWarningNotification";
    /// Posted, with the application as object, when the status bar turned.
    static constexpr const char* didChangeStatusBarOrientationNotification
        = "ApplicationDidChangeStatusBarOrientationNotification";

    /// The application object.
    static Application& shared();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /// The delegate, or null.
    const std::shared_ptr<ApplicationDelegate>& delegate() const { return m_delegate; }
    /// Sets the delegate; the application keeps it.
    void setDelegate(std::shared_ptr<ApplicationDelegate> delegate);

    // Life cycle

    /// Where the application stands (inactive until launched).
    ApplicationState applicationState() const { return m_state; }
    /// Whether launch has run.
    bool isLaunched() const { return m_launched; }
    /// Launches: the delegate's didFinishLaunching with `options`, then activation. Returns the delegate's
    /// answer. Throws std::logic_error without a delegate or when launched already.
    bool launch(const foundation::DictionaryRef& options = nullptr);
    /// An inactive application becomes active (didBecomeActive).
    void becomeActive();
    /// An active application stops being active without leaving the foreground, as under a system alert
    /// (willResignActive).
    void resignActive();
    /// The user leaves the app: it resigns when active, then goes to the background (didEnterBackground).
    void enterBackground();
    /// The user comes back: willEnterForeground, then activation.
    void enterForeground();
    /// The application ends: willTerminate, then the main queue stops when applicationMain runs it.
    void terminate();

    // Windows and the status bar

    /// The key window, or null.
    std::shared_ptr<Window> keyWindow() const;
    /// The status bar style shown: read from the key window's root controller whenever a controller asks for
    /// an update and after every transition.
    StatusBarStyle statusBarStyle() const { return m_statusBarStyle; }
    /// Reads the status bar style again from the key window's root controller.
    void updateStatusBarAppearance();
    /// Which way the status bar is turned: portrait unless set. Readable from any thread.
    InterfaceOrientation statusBarOrientation() const { return m_statusBarOrientation.load(); }
    /// Turns the status bar (and the interface); posts didChangeStatusBarOrientationNotification when that
    /// changed it.
    void setStatusBarOrientation(InterfaceOrientation orientation);

    // Outside URLs

    /// Asks the system to open `url` in another app; it is recorded. Returns false for a text that is not an
    /// absolute URL (no scheme).
    bool openURL(const std::string& url);
    /// Whether the system could open `url` (it has a scheme).
    bool canOpenURL(const std::string& url) const;
    /// The URLs opened with openURL(), oldest first.
    const std::vector<std::string>& openedURLs() const { return m_openedURLs; }
    /// Another app hands `url` to this one: the delegate's openURL answers. False without a delegate.
    bool handleOpenURL(const std::string& url,
        const std::optional<std::string>& sourceApplication = std::nullopt,
        const foundation::Value& annotation = {});

    // Local notifications and the badge

    /// Schedules a local notification; when it fires while the application is active, the delegate's
    /// didReceiveLocalNotification hears of it (on the main queue's clock).
    void scheduleLocalNotification(const LocalNotification& notification);
    /// The notifications still to fire, in the order scheduled.
    std::vector<LocalNotification> scheduledLocalNotifications() const;
    /// Cancels the first scheduled notification equal to `notification`.
    void cancelLocalNotification(const LocalNotification& notification);
    /// Cancels every scheduled notification.
    void cancelAllLocalNotifications();
    /// The number on the app's icon.
    long applicationIconBadgeNumber() const;
    /// Sets the number on the app's icon.
    void setApplicationIconBadgeNumber(long number);
    /// Asks the user for permission to notify; the delegate hears the answer on the main queue.
    void registerUserNotificationSettings(UserNotificationSettings settings);
    /// The permission the user gave at the last registration.
    UserNotificationSettings currentUserNotificationSettings() const;

    // Folders

    /// The app's resource folder (its "bundle").
    std::filesystem::path bundleDirectory() const;
    /// The Documents folder, created when missing; nullopt when it cannot be.
    std::optional<std::filesystem::path> documentsDirectory() const;

    // applicationMain

    /// Registers a delegate class by name for applicationMain(name). Throws std::invalid_argument when the
    /// name is taken.
    static void registerDelegateClass(const std::string& name, ApplicationDelegateFactory factory);
    /// Whether a delegate class of that name is registered.
    static bool hasDelegateClass(const std::string& name);

    /// Forgets the delegate, the state, the opened URLs and the status bar, and resets the
    /// NotificationScheduler: for tests.
    void reset();

private:
    Application() = default;

    void post(const char* name);
    void deliverFiredNotifications();

    std::shared_ptr<ApplicationDelegate> m_delegate;
    ApplicationState m_state { ApplicationState::Inactive };
    bool m_launched { false };
    StatusBarStyle m_statusBarStyle { StatusBarStyle::Default };
    std::atomic<InterfaceOrientation> m_statusBarOrientation { InterfaceOrientation::Portrait };
    std::vector<std::string> m_openedURLs;
    std::size_t m_deliveredSeen { 0 };
    std::shared_ptr<const char> m_lifetime { std::make_shared<const char>('a') };
};

/// Builds the delegate with `factory`, launches and activates the application, then runs the main queue
/// until Application::terminate(). Returns 0, or 1 when launch answers false (after a log line).
int applicationMain(int argc, char** argv, const ApplicationDelegateFactory& factory);
/// As above with the delegate class registered under `delegateClassName`. Returns 1, after a log line, when
/// no such class is registered.
int applicationMain(int argc, char** argv, const std::string& delegateClassName);

}
