#pragma once

#include "platform/ui/LocalNotification.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::ui {

/// What the app's notifications may do, as the user allowed it: a set of types.
struct UserNotificationSettings {
    enum Type : unsigned {
        None = 0,
        Badge = 1u << 0,
        Sound = 1u << 1,
        Alert = 1u << 2,
        All = Badge | Sound | Alert
    };

    unsigned types { None };

    bool operator==(const UserNotificationSettings&) const = default;
};

/// The device's store of the app's local notifications and its icon badge: one per process, as on the
/// phone, where it outlives the app's own data. The application object hands it on to the app.
///
/// A scheduled notification whose fire date has passed on the main queue's clock has been delivered: it
/// leaves the scheduled ones and is kept among the delivered ones. The permission question is answered
/// by a stand-in user (yes to everything unless told otherwise) and the answer arrives on the main queue.
///
/// Thread-safe; the answer to the permission question runs on the main queue.
class NotificationScheduler {
public:
    using SettingsRegistered = std::function<void(const UserNotificationSettings& settings)>;

    /// The process's scheduler.
    static NotificationScheduler& shared();

    /// Schedules a copy of `notification` (its user information is copied too).
    void scheduleLocalNotification(const LocalNotification& notification);

    /// Copies of the notifications still to fire, in the order they were scheduled.
    std::vector<LocalNotification> scheduledLocalNotifications();

    /// Copies of the notifications that have fired, in the order they fired.
    std::vector<LocalNotification> deliveredLocalNotifications();

    /// Cancels the first scheduled notification equal to `notification`; nothing when none is.
    void cancelLocalNotification(const LocalNotification& notification);

    /// Cancels every scheduled notification.
    void cancelAllLocalNotifications();

    /// The number on the app's icon (0 shows no badge).
    long applicationIconBadgeNumber() const;

    /// Sets the number on the app's icon.
    void setApplicationIconBadgeNumber(long number);

    /// Asks the user to allow the types of `requested`; the settings allowed (those requested that the
    /// user allows) become current and go to the registered handler on the main queue.
    void registerUserNotificationSettings(UserNotificationSettings requested);

    /// The settings the user allowed at the last registration (none before any).
    UserNotificationSettings currentUserNotificationSettings() const;

    /// Sets the handler told of the settings allowed after each registration (the application's delegate).
    void setSettingsRegistered(SettingsRegistered registered);

    /// Sets the types the stand-in user allows when asked (all by default).
    void setUserAllowedTypes(unsigned types);

    /// Forgets every notification, the badge, the settings, the handler and the user's answer: for tests.
    void reset();

private:
    NotificationScheduler() = default;

    /// With m_mutex held: moves the notifications due by now to the delivered ones.
    void deliverDueNotifications();

    mutable std::mutex m_mutex;
    std::vector<LocalNotification> m_scheduled;
    std::vector<LocalNotification> m_delivered;
    long m_badgeNumber { 0 };
    UserNotificationSettings m_current;
    unsigned m_userAllowedTypes { UserNotificationSettings::All };
    std::shared_ptr<SettingsRegistered> m_registered;
};

}
