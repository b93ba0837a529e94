#include "platform/ui/LocalNotification.h"

namespace platform::ui {

bool LocalNotification::operator==(const LocalNotification& other) const
{
    if (fireDate != other.fireDate || timeZone != other.timeZone || alertBody != other.alertBody)
        return false;
    if (!userInfo || !other.userInfo)
        return !userInfo && !other.userInfo;
    return userInfo->equals(*other.userInfo);
}

}
