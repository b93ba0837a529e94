#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/Dictionary.h"

#include <string>

namespace platform::ui {

/// A notification the device shows at a set time, scheduled with the NotificationScheduler. The fire date is
/// an instant; `timeZone` names the zone whose wall clock the date was chosen on (empty for none).
struct LocalNotification {
    platform::foundation::Date fireDate;
    std::string timeZone;
    std::string alertBody;
    /// The app's own keys, handed back with the notification; may be null.
    platform::foundation::DictionaryRef userInfo;

    /// Equal fire date, time zone and alert body, and user information of equal content.
    bool operator==(const LocalNotification& other) const;
};

}
