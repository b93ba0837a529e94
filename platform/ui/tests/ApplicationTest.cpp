#include "platform/ui/Application.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform::ui {
namespace {

using ::testing::ElementsAre;

/// Writes every call into a list.
class RecordingDelegate : public ApplicationDelegate {
public:
    bool didFinishLaunching(Application&, const foundation::DictionaryRef&) override
    {
        calls.push_back("didFinishLaunching");
        if (terminateOnLaunch)
            foundation::mainQueue().async([] { Application::shared().terminate(); });
        return true;
    }
    void didBecomeActive(Application&) override { calls.push_back("didBecomeActive"); }
    void willResignActive(Application&) override { calls.push_back("willResignActive"); }
    void didEnterBackground(Application&) override { calls.push_back("didEnterBackground"); }
    void willEnterForeground(Application&) override { calls.push_back("willEnterForeground"); }
    void willTerminate(Application&) override { calls.push_back("willTerminate"); }
    bool openURL(Application&, const std::string& url, const std::optional<std::string>& source,
        const foundation::Value&) override
    {
        calls.push_back("openURL " + url + " from " + source.value_or("nobody"));
        return url.rfind("zorvik:", 0) == 0;
    }
    void didRegisterUserNotificationSettings(Application&, const UserNotificationSettings& settings) override
    {
        calls.push_back("settings " + std::to_string(settings.types));
    }
    void didReceiveLocalNotification(Application&, const LocalNotification& notification) override
    {
        calls.push_back("received " + notification.alertBody);
    }

    std::vector<std::string> calls;
    bool terminateOnLaunch { false };
};

/// The delegate the registered "TestAppDelegate" class made last.
std::shared_ptr<RecordingDelegate>& lastMadeDelegate()
{
    static std::shared_ptr<RecordingDelegate> made;
    return made;
}

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        application.reset();
        application.setDelegate(delegate);
    }
    void TearDown() override { application.reset(); }

    static LocalNotification reminder(std::int64_t invoiceID, double inSeconds, std::string body)
    {
        auto info = foundation::Dictionary::make();
        info->set("invoiceID", foundation::Value(invoiceID));
        return { foundation::now().addingSeconds(inSeconds), "Europe/London", std::move(body), info };
    }

    Application& application { Application::shared() };
    std::shared_ptr<RecordingDelegate> delegate { std::make_shared<RecordingDelegate>() };
};

TEST_F(ApplicationTest, LifeCycleReachesTheDelegateAndTheNotificationCentreInOrder)
{
    std::vector<std::string> posted;
    std::vector<foundation::ObserverToken> tokens;
    for (auto* name :
        { Application::didEnterBackgroundNotification, Application::willEnterForegroundNotification }) {
        tokens.push_back(foundation::NotificationCenter::defaultCenter().addObserver(
            name, &application, [&](const foundation::Notification& note) { posted.push_back(note.name); }));
    }

    EXPECT_TRUE(application.launch());
    EXPECT_EQ(application.applicationState(), ApplicationState::Active);
    application.resignActive();
    application.becomeActive();
    application.enterBackground();
    EXPECT_EQ(application.applicationState(), ApplicationState::Background);
    application.enterBackground();
    application.enterForeground();
    EXPECT_THAT(delegate->calls,
        ElementsAre("didFinishLaunching", "didBecomeActive", "willResignActive", "didBecomeActive",
            "willResignActive", "didEnterBackground", "willEnterForeground", "didBecomeActive"));
    EXPECT_THAT(posted,
        ElementsAre(
            Application::didEnterBackgroundNotification, Application::willEnterForegroundNotification));
    EXPECT_THROW(application.launch(), std::logic_error);
}

TEST_F(ApplicationTest, LocalNotificationsAreScheduledListedAndCancelledByTheirUserInformation)
{
    application.scheduleLocalNotification(reminder(7, 3600, "first for 7"));
    application.scheduleLocalNotification(reminder(8, 3600, "for 8"));
    application.scheduleLocalNotification(reminder(7, 7200, "second for 7"));
    auto scheduled = application.scheduledLocalNotifications();
    ASSERT_EQ(scheduled.size(), 3U);

    for (auto& notification : scheduled) {
        if (notification.userInfo->get("invoiceID").stringValue() == "7")
            application.cancelLocalNotification(notification);
    }
    scheduled = application.scheduledLocalNotifications();
    ASSERT_EQ(scheduled.size(), 1U);
    EXPECT_EQ(scheduled[0].alertBody, "for 8");

    application.setApplicationIconBadgeNumber(3);
    EXPECT_EQ(application.applicationIconBadgeNumber(), 3);
    application.cancelAllLocalNotifications();
    EXPECT_TRUE(application.scheduledLocalNotifications().empty());
}

TEST_F(ApplicationTest, NotificationThatFiresWhileActiveReachesTheDelegate)
{
    application.launch();
    application.scheduleLocalNotification(reminder(1, 60, "while active"));
    application.scheduleLocalNotification(reminder(2, 120, "while away"));
    foundation::mainQueue().advance(59);
    EXPECT_THAT(delegate->calls, ElementsAre("didFinishLaunching", "didBecomeActive"));
    foundation::mainQueue().advance(1);
    application.enterBackground();
    foundation::mainQueue().advance(60);
    application.enterForeground();
    EXPECT_THAT(delegate->calls,
        ElementsAre("didFinishLaunching", "didBecomeActive", "received while active", "willResignActive",
            "didEnterBackground", "willEnterForeground", "didBecomeActive"));
    EXPECT_TRUE(application.scheduledLocalNotifications().empty());
}

TEST_F(ApplicationTest, PermissionAnswerAndURLsReachTheDelegate)
{
    application.launch();
    application.registerUserNotificationSettings({ UserNotificationSettings::All });
    foundation::mainQueue().runUntilIdle();
    EXPECT_EQ(delegate->calls.back(), "settings 7");
    EXPECT_EQ(application.currentUserNotificationSettings().types, unsigned(UserNotificationSettings::All));

    EXPECT_TRUE(application.openURL("http://127.0.0.1/terms"));
    EXPECT_FALSE(application.openURL("not a url"));
    EXPECT_THAT(application.openedURLs(), ElementsAre("http://127.0.0.1/terms"));

    EXPECT_TRUE(application.handleOpenURL("zorvik://invoice/1", std::string("com.example.mail")));
    EXPECT_FALSE(application.handleOpenURL("other://x"));
    EXPECT_EQ(delegate->calls.back(), "openURL other://x from nobody");
}

TEST_F(ApplicationTest, ApplicationMainBuildsTheNamedDelegateAndRunsUntilTerminated)
{
    application.reset();
    if (!Application::hasDelegateClass("TestAppDelegate")) {
        Application::registerDelegateClass("TestAppDelegate", [] {
            lastMadeDelegate() = std::make_shared<RecordingDelegate>();
            lastMadeDelegate()->terminateOnLaunch = true;
            return lastMadeDelegate();
        });
    }
    EXPECT_THROW(
        Application::registerDelegateClass("TestAppDelegate", [] { return nullptr; }), std::invalid_argument);

    char name[] = "zorvik";
    char* argv[] = { name, nullptr };
    EXPECT_EQ(applicationMain(1, argv, "TestAppDelegate"), 0);
    auto made = lastMadeDelegate();
    ASSERT_TRUE(made);
    EXPECT_THAT(made->calls, ElementsAre("didFinishLaunching", "didBecomeActive", "willTerminate"));
    EXPECT_EQ(applicationMain(1, argv, "NoSuchDelegate"), 1);
}

}
}
