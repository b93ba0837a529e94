#pragma once

#include "platform/foundation/NotificationCenter.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::outside {
class Pulse;
}

namespace zorvik {

/// Turns the analytics notifications (AnalyticsEvents) posted on a notification centre into Pulse events,
/// with each notification's user information as the event's properties. Every event also carries the
/// super property "User ID", the anonymous Pulse identity; the sign-up event fills the person's profile.
/// It stops observing when it goes away. Use it on the main thread.
class AnalyticsListener {
public:
    /// The Pulse project token.
    static constexpr const char* kPulseToken { "5c0e8d2f9a17b4e63d8f0a2c71e95b48" };

    /// The process's listener, observing the default notification centre; made on first use.
    static std::shared_ptr<AnalyticsListener> sharedAnalyticsManager();

    /// A listener on `broadcaster`: takes Pulse's shared instance for the project token, registers the
    /// super property "User ID" with Pulse's anonymous identity, identifies with it, and observes the
    /// analytics notifications from any sender.
    explicit AnalyticsListener(platform::foundation::NotificationCenter& broadcaster);
    AnalyticsListener(const AnalyticsListener&) = delete;
    AnalyticsListener& operator=(const AnalyticsListener&) = delete;

    /// The centre observed.
    platform::foundation::NotificationCenter& broadcaster() const { return m_broadcaster; }
    /// The analytics service events go to.
    const std::shared_ptr<platform::outside::Pulse>& pulse() const { return m_pulse; }

    /// Tracks "Opened App".
    void openedApp(const platform::foundation::Notification& notification);
    /// Tracks "Closed App".
    void closedApp(const platform::foundation::Notification& notification);
    /// Tracks "Signed Up", then fills the profile with the "username" of the user information (when given).
    void signedUp(const platform::foundation::Notification& notification);
    /// Tracks "Opened Create Invoice Screen".
    void openedCreateInvoiceScreen(const platform::foundation::Notification& notification);
    /// Tracks "Sent Invoice".
    void sentInvoice(const platform::foundation::Notification& notification);
    /// Tracks "Cancelled Create Invoice".
    void cancelledCreateInvoice(const platform::foundation::Notification& notification);

    /// Sets the profile's "$email" to `username` and "$created" to now; the identity stays anonymous.
    void identifyUserWithPulse(const std::string& username);

private:
    using Handler = void (AnalyticsListener::*)(const platform::foundation::Notification&);

    void observe(const char* name, Handler handler);
    void track(const char* event, const platform::foundation::Notification& notification);

    platform::foundation::NotificationCenter& m_broadcaster;
    std::shared_ptr<platform::outside::Pulse> m_pulse;
    std::vector<platform::foundation::ObserverToken> m_observations;
};

}
