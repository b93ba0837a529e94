#pragma once

namespace zorvik {

/// The number on the app's icon.
class BadgeNotifications {
public:
    /// Sets the icon's badge number (0 shows none).
    void setBadgeNumberWithNumber(long number);
    /// Sets the icon's badge number to 0.
    void resetApplicationBadgeNumberToZero();
};

}
