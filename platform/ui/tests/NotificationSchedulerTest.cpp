#include "platform/ui/NotificationScheduler.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

namespace platform::ui::test {
namespace {

using platform::foundation::Date;
using platform::foundation::Dictionary;
using platform::foundation::mainQueue;

LocalNotification reminder(std::string id, double secondsFromNow)
{
    return { platform::foundation::now().addingSeconds(secondsFromNow), "Europe/London", "Hi " + id,
        Dictionary::make({ { "invoiceID", id } }) };
}

std::vector<std::string> bodies(const std::vector<LocalNotification>& notifications)
{
    std::vector<std::string> texts;
    for (const auto& notification : notifications)
        texts.push_back(notification.alertBody);
    return texts;
}

class NotificationSchedulerTest : public ::testing::Test {
protected:
    void SetUp() override { scheduler.reset(); }
    void TearDown() override { scheduler.reset(); }

    NotificationScheduler& scheduler { NotificationScheduler::shared() };
};

TEST_F(NotificationSchedulerTest, KeepsCopiesThatTheCallerCannotChange)
{
    auto notification = reminder("7", 60);
    scheduler.scheduleLocalNotification(notification);
    notification.userInfo->set("invoiceID", "8");

    auto listed = scheduler.scheduledLocalNotifications();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].userInfo->get("invoiceID").stringValue(), "7");
    listed[0].userInfo->set("invoiceID", "9");
    EXPECT_EQ(scheduler.scheduledLocalNotifications()[0].userInfo->get("invoiceID").stringValue(), "7");
}

TEST_F(NotificationSchedulerTest, CancelRemovesOneEqualNotificationAndCancelAllTheRest)
{
    scheduler.scheduleLocalNotification(reminder("1", 60));
    scheduler.scheduleLocalNotification(reminder("2", 60));
    scheduler.scheduleLocalNotification(reminder("1", 60));
    auto other = reminder("1", 60);
    other.userInfo->set("invoiceID", "3");
    scheduler.cancelLocalNotification(other);
    EXPECT_EQ(scheduler.scheduledLocalNotifications().size(), 3u);

    scheduler.cancelLocalNotification(reminder("1", 60));
    EXPECT_EQ(bodies(scheduler.scheduledLocalNotifications()), (std::vector<std::string> { "Hi 2", "Hi 1" }));

    scheduler.cancelAllLocalNotifications();
    EXPECT_TRUE(scheduler.scheduledLocalNotifications().empty());
    EXPECT_TRUE(scheduler.deliveredLocalNotifications().empty());
}

TEST_F(NotificationSchedulerTest, NotificationsFireWhenTheClockPassesTheirDate)
{
    scheduler.scheduleLocalNotification(reminder("late", 120));
    scheduler.scheduleLocalNotification(reminder("early", 60));
    scheduler.scheduleLocalNotification(reminder("never", 600));

    mainQueue().advance(59);
    EXPECT_TRUE(scheduler.deliveredLocalNotifications().empty());
    mainQueue().advance(61);
    EXPECT_EQ(bodies(scheduler.deliveredLocalNotifications()),
        (std::vector<std::string> { "Hi early", "Hi late" }));
    EXPECT_EQ(bodies(scheduler.scheduledLocalNotifications()), (std::vector<std::string> { "Hi never" }));

    scheduler.cancelAllLocalNotifications();
    mainQueue().advance(1000);
    EXPECT_EQ(scheduler.deliveredLocalNotifications().size(), 2u);
}

TEST_F(NotificationSchedulerTest, BadgeNumber)
{
    EXPECT_EQ(scheduler.applicationIconBadgeNumber(), 0);
    scheduler.setApplicationIconBadgeNumber(3);
    EXPECT_EQ(scheduler.applicationIconBadgeNumber(), 3);
    scheduler.reset();
    EXPECT_EQ(scheduler.applicationIconBadgeNumber(), 0);
}

TEST_F(NotificationSchedulerTest, RegisteringSettingsAnswersOnTheMainQueueWithWhatTheUserAllows)
{
    struct Case {
        unsigned userAllows;
        unsigned expected;
    };
    for (auto [userAllows, expected] :
        { Case { UserNotificationSettings::All, UserNotificationSettings::All },
            Case { UserNotificationSettings::None, UserNotificationSettings::None },
            Case { UserNotificationSettings::Badge | UserNotificationSettings::Alert,
                UserNotificationSettings::Badge | UserNotificationSettings::Alert } }) {
        SCOPED_TRACE(userAllows);
        scheduler.reset();
        std::vector<unsigned> answers;
        scheduler.setSettingsRegistered(
            [&](const UserNotificationSettings& settings) { answers.push_back(settings.types); });
        scheduler.setUserAllowedTypes(userAllows);

        scheduler.registerUserNotificationSettings({ UserNotificationSettings::All });
        EXPECT_TRUE(answers.empty());
        mainQueue().runUntilIdle();
        EXPECT_EQ(answers, std::vector<unsigned> { expected });
        EXPECT_EQ(scheduler.currentUserNotificationSettings().types, expected);
    }
}

TEST_F(NotificationSchedulerTest, OnlyRequestedTypesAreAllowed)
{
    scheduler.registerUserNotificationSettings({ UserNotificationSettings::Sound });
    EXPECT_EQ(
        scheduler.currentUserNotificationSettings().types, unsigned { UserNotificationSettings::Sound });
    mainQueue().runUntilIdle();
}

}
}
