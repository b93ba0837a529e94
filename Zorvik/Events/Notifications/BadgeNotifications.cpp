#include "Zorvik/Events/Notifications/BadgeNotifications.h"

#include "platform/ui/NotificationScheduler.h"

namespace zorvik {

void BadgeNotifications::setBadgeNumberWithNumber(long number)
{
    platform::ui::NotificationScheduler::shared().setApplicationIconBadgeNumber(number);
}

void BadgeNotifications::resetApplicationBadgeNumberToZero()
{
    setBadgeNumberWithNumber(0);
}

}
