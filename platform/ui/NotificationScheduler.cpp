#include "platform/ui/NotificationScheduler.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/MainQueue.h"

#include <algorithm>

namespace platform::ui {

namespace {

LocalNotification copied(const LocalNotification& notification)
{
    auto copy = notification;
    if (copy.userInfo)
        copy.userInfo = copy.userInfo->deepCopy();
    return copy;
}

std::vector<LocalNotification> copied(const std::vector<LocalNotification>& notifications)
{
    std::vector<LocalNotification> copies;
    copies.reserve(notifications.size());
    for (const auto& notification : notifications)
        copies.push_back(copied(notification));
    return copies;
}

}

NotificationScheduler& NotificationScheduler::shared()
{
    static NotificationScheduler scheduler;
    return scheduler;
}

void NotificationScheduler::scheduleLocalNotification(const LocalNotification& notification)
{
    std::lock_guard lock(m_mutex);
    m_scheduled.push_back(copied(notification));
}

std::vector<LocalNotification> NotificationScheduler::scheduledLocalNotifications()
{
    std::lock_guard lock(m_mutex);
    deliverDueNotifications();
    return copied(m_scheduled);
}

std::vector<LocalNotification> NotificationScheduler::deliveredLocalNotifications()
{
    std::lock_guard lock(m_mutex);
    deliverDueNotifications();
    return copied(m_delivered);
}

void NotificationScheduler::cancelLocalNotification(const LocalNotification& notification)
{
    std::lock_guard lock(m_mutex);
    deliverDueNotifications();
    auto found = std::find(m_scheduled.begin(), m_scheduled.end(), notification);
    if (found != m_scheduled.end())
        m_scheduled.erase(found);
}

void NotificationScheduler::cancelAllLocalNotifications()
{
    std::lock_guard lock(m_mutex);
    deliverDueNotifications();
    m_scheduled.clear();
}

long NotificationScheduler::applicationIconBadgeNumber() const
{
    std::lock_guard lock(m_mutex);
    return m_badgeNumber;
}

void NotificationScheduler::setApplicationIconBadgeNumber(long number)
{
    std::lock_guard lock(m_mutex);
    m_badgeNumber = number;
}

void NotificationScheduler::registerUserNotificationSettings(UserNotificationSettings requested)
{
    UserNotificationSettings allowed;
    std::shared_ptr<SettingsRegistered> registered;
    {
        std::lock_guard lock(m_mutex);
        allowed.types = requested.types & m_userAllowedTypes & UserNotificationSettings::All;
        m_current = allowed;
        registered = m_registered;
    }
    if (!registered)
        return;
    foundation::mainQueue().async([registered, allowed] { (*registered)(allowed); });
}

UserNotificationSettings NotificationScheduler::currentUserNotificationSettings() const
{
    std::lock_guard lock(m_mutex);
    return m_current;
}

void NotificationScheduler::setSettingsRegistered(SettingsRegistered registered)
{
    std::lock_guard lock(m_mutex);
    m_registered = registered ? std::make_shared<SettingsRegistered>(std::move(registered)) : nullptr;
}

void NotificationScheduler::setUserAllowedTypes(unsigned types)
{
    std::lock_guard lock(m_mutex);
    m_userAllowedTypes = types;
}

void NotificationScheduler::reset()
{
    std::lock_guard lock(m_mutex);
    m_scheduled.clear();
    m_delivered.clear();
    m_badgeNumber = 0;
    m_current = {};
    m_userAllowedTypes = UserNotificationSettings::All;
    m_registered = nullptr;
}

void NotificationScheduler::deliverDueNotifications()
{
    auto now = foundation::now();
    auto due = std::stable_partition(m_scheduled.begin(), m_scheduled.end(),
        [&](const LocalNotification& notification) { return notification.fireDate > now; });
    std::vector<LocalNotification> fired(
        std::make_move_iterator(due), std::make_move_iterator(m_scheduled.end()));
    m_scheduled.erase(due, m_scheduled.end());
    std::stable_sort(fired.begin(), fired.end(),
        [](const LocalNotification& a, const LocalNotification& b) { return a.fireDate < b.fireDate; });
    for (auto& notification : fired)
        m_delivered.push_back(std::move(notification));
}

}
