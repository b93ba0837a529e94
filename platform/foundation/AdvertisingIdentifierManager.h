#pragma once

#include "platform/foundation/Uuid.h"

#include <memory>
#include <mutex>
#include <optional>

namespace platform::foundation {

/// The phone's advertising-identifier service: one identifier for all apps on the phone, and the user's
/// choice whether apps may track them for advertising (allowed unless the user says otherwise). Not every
/// phone offers the service, so code that uses it asks sharedManager() and copes with none. Each process
/// is a phone of its own: the identifier is made on first use and kept for the process. Thread-safe.
class AdvertisingIdentifierManager {
public:
    /// The phone's service, or null when the phone offers none.
    static std::shared_ptr<AdvertisingIdentifierManager> sharedManager();
    /// Makes the phone offer the service or not (it does unless told otherwise): for tests.
    static void setAvailable(bool available);

    /// The phone's advertising identifier; all zeros while the user does not allow tracking, as the phone
    /// hands no app the real one then.
    Uuid advertisingIdentifier() const;
    /// Whether the user allows apps to track them for advertising.
    bool isAdvertisingTrackingEnabled() const;
    /// The user's choice, as the phone's settings set it.
    void setAdvertisingTrackingEnabled(bool enabled);

private:
    AdvertisingIdentifierManager() = default;

    mutable std::mutex m_mutex;
    mutable std::optional<Uuid> m_identifier;
    bool m_trackingEnabled { true };
};

}
