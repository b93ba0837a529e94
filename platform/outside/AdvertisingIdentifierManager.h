#pragma once

#include <memory>
#include <mutex>
#include <string>

namespace platform::outside {

/// The phone's advertising-identifier manager: the device's resettable advertising identifier and whether
/// the user lets apps track by it. On the phone the class is looked up at run time, since older systems
/// lack it; here the stand-in is there unless a test takes it away (setAvailable(false)), and its
/// identifier is a random UUID made once per process, with tracking allowed, until a test sets them.
/// Thread-safe.
class AdvertisingIdentifierManager {
public:
    /// The process's manager, or nullptr when the platform has none.
    static std::shared_ptr<AdvertisingIdentifierManager> sharedManager();

    /// Takes the manager away (false) or puts it back (true), as on a system without it: for tests.
    static void setAvailable(bool available);

    /// Made by sharedManager() only (public for std::make_shared).
    AdvertisingIdentifierManager();

    /// The advertising identifier as upper-case UUID text, or "" when the device gives none.
    std::string advertisingIdentifier() const;
    void setAdvertisingIdentifier(std::string identifier);

    /// False when the user limits ad tracking.
    bool isAdvertisingTrackingEnabled() const;
    void setAdvertisingTrackingEnabled(bool enabled);

private:
    mutable std::mutex m_mutex;
    std::string m_identifier;
    bool m_trackingEnabled { true };
};

}
