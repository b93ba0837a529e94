#include "platform/ui/Application.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <stdexcept>

namespace platform::ui {

namespace {

std::map<std::string, ApplicationDelegateFactory>& delegateClasses()
{
    static std::map<std::string, ApplicationDelegateFactory> classes;
    return classes;
}

bool hasScheme(const std::string& url)
{
    auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    if (!std::isalpha(static_cast<unsigned char>(url[0])))
        return false;
    return std::all_of(url.begin(), url.begin() + std::ptrdiff_t(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

}

Application& Application::shared()
{
    // Never destroyed: the delegate's windows and screens must not outlive the statics they use at exit.
    static Application* application = new Application;
    return *application;
}

void Application::setDelegate(std::shared_ptr<ApplicationDelegate> delegate)
{
    m_delegate = std::move(delegate);
}

void Application::setStatusBarOrientation(InterfaceOrientation orientation)
{
    if (m_statusBarOrientation.exchange(orientation) != orientation)
        post(didChangeStatusBarOrientationNotification);
}

void Application::post(const char* name)
{
    foundation::NotificationCenter::defaultCenter().post(name, this);
}

bool Application::launch(const foundation::DictionaryRef& options)
{
    if (!m_delegate)
        throw std::logic_error("Application::launch needs a delegate");
    if (m_launched)
        throw std::logic_error("the application is launched already");
    m_launched = true;
    std::weak_ptr<const char> alive = m_lifetime;
    NotificationScheduler::shared().setSettingsRegistered(
        [this, alive](const UserNotificationSettings& settings) {
            if (alive.expired() || !m_delegate)
                return;
            auto delegate = m_delegate;
            delegate->didRegisterUserNotificationSettings(*this, settings);
        });
    auto delegate = m_delegate;
    bool launched = delegate->didFinishLaunching(*this, options);
    post(didFinishLaunchingNotification);
    becomeActive();
    return launched;
}

void Application::becomeActive()
{
    if (m_state == ApplicationState::Active)
        return;
    m_state = ApplicationState::Active;
    if (auto delegate = m_delegate)
        delegate->didBecomeActive(*this);
    post(didBecomeActiveNotification);
}

void Application::resignActive()
{
    if (m_state != ApplicationState::Active)
        return;
    if (auto delegate = m_delegate)
        delegate->willResignActive(*this);
    post(willResignActiveNotification);
    m_state = ApplicationState::Inactive;
}

void Application::enterBackground()
{
    if (m_state == ApplicationState::Background)
        return;
    resignActive();
    m_state = ApplicationState::Background;
    if (auto delegate = m_delegate)
        delegate->didEnterBackground(*this);
    post(didEnterBackgroundNotification);
}

void Application::enterForeground()
{
    if (m_state != ApplicationState::Background)
        return;
    if (auto delegate = m_delegate)
        delegate->willEnterForeground(*this);
    post(willEnterForegroundNotification);
    m_state = ApplicationState::Inactive;
    becomeActive();
}

void Application::terminate()
{
    if (auto delegate = m_delegate)
        delegate->willTerminate(*this);
    post(willTerminateNotification);
    foundation::mainQueue().stop();
}

std::shared_ptr<Window> Application::keyWindow() const
{
    return Window::keyWindow();
}

void Application::updateStatusBarAppearance()
{
    auto window = keyWindow();
    if (!window)
        return;
    if (auto root = ViewController::rootViewController(*window))
        m_statusBarStyle = root->effectiveStatusBarStyle();
}

bool Application::canOpenURL(const std::string& url) const
{
    return hasScheme(url);
}

bool Application::openURL(const std::string& url)
{
    if (!canOpenURL(url))
        return false;
    m_openedURLs.push_back(url);
    return true;
}

bool Application::handleOpenURL(const std::string& url, const std::optional<std::string>& sourceApplication,
    const foundation::Value& annotation)
{
    auto delegate = m_delegate;
    return delegate && delegate->openURL(*this, url, sourceApplication, annotation);
}

void Application::scheduleLocalNotification(const LocalNotification& notification)
{
    NotificationScheduler::shared().scheduleLocalNotification(notification);
    double delay = std::max(0.0, notification.fireDate.secondsSince(foundation::now()));
    std::weak_ptr<const char> alive = m_lifetime;
    foundation::mainQueue().after(delay, [this, alive] {
        if (!alive.expired())
            deliverFiredNotifications();
    });
}

void Application::deliverFiredNotifications()
{
    auto delivered = NotificationScheduler::shared().deliveredLocalNotifications();
    if (m_deliveredSeen > delivered.size())
        m_deliveredSeen = 0;
    std::size_t first = m_deliveredSeen;
    m_deliveredSeen = delivered.size();
    if (m_state != ApplicationState::Active)
        return;
    auto delegate = m_delegate;
    for (std::size_t i = first; delegate && i < delivered.size(); ++i)
        delegate->didReceiveLocalNotification(*this, delivered[i]);
}

std::vector<LocalNotification> Application::scheduledLocalNotifications() const
{
    return NotificationScheduler::shared().scheduledLocalNotifications();
}

void Application::cancelLocalNotification(const LocalNotification& notification)
{
    NotificationScheduler::shared().cancelLocalNotification(notification);
}

void Application::cancelAllLocalNotifications()
{
    NotificationScheduler::shared().cancelAllLocalNotifications();
}

long Application::applicationIconBadgeNumber() const
{
    return NotificationScheduler::shared().applicationIconBadgeNumber();
}

void Application::setApplicationIconBadgeNumber(long number)
{
    NotificationScheduler::shared().setApplicationIconBadgeNumber(number);
}

void Application::registerUserNotificationSettings(UserNotificationSettings settings)
{
    NotificationScheduler::shared().registerUserNotificationSettings(settings);
}

UserNotificationSettings Application::currentUserNotificationSettings() const
{
    return NotificationScheduler::shared().currentUserNotificationSettings();
}

std::filesystem::path Application::bundleDirectory() const
{
    return foundation::Files::bundleDirectory();
}

std::optional<std::filesystem::path> Application::documentsDirectory() const
{
    return foundation::Files::documentsDirectory();
}

void Application::registerDelegateClass(const std::string& name, ApplicationDelegateFactory factory)
{
    if (!factory)
        throw std::invalid_argument("no factory for the application delegate class " + name);
    if (!delegateClasses().emplace(name, std::move(factory)).second)
        throw std::invalid_argument("an application delegate class named " + name + " is registered already");
}

bool Application::hasDelegateClass(const std::string& name)
{
    return delegateClasses().contains(name);
}

void Application::reset()
{
    m_delegate = nullptr;
    m_state = ApplicationState::Inactive;
    m_launched = false;
    m_statusBarStyle = StatusBarStyle::Default;
    m_statusBarOrientation = InterfaceOrientation::Portrait;
    m_openedURLs.clear();
    m_deliveredSeen = 0;
    m_lifetime = std::make_shared<const char>('a');
    NotificationScheduler::shared().reset();
}

int applicationMain(int, char**, const ApplicationDelegateFactory& factory)
{
    auto& application = Application::shared();
    application.setDelegate(factory ? factory() : nullptr);
    if (!application.delegate()) {
        foundation::Log().write("applicationMain: the delegate factory made no delegate");
        return 1;
    }
    if (!application.launch()) {
        foundation::Log().write("applicationMain: the application delegate refused to launch");
        return 1;
    }
    foundation::mainQueue().run();
    return 0;
}

int applicationMain(int argc, char** argv, const std::string& delegateClassName)
{
    auto found = delegateClasses().find(delegateClassName);
    if (found == delegateClasses().end()) {
        foundation::Log().write("applicationMain: no application delegate class named " + delegateClassName);
        return 1;
    }
    return applicationMain(argc, argv, found->second);
}

}
