#include "Zorvik/Controllers/AnalyticsListener.h"

#include "Zorvik/Events/AnalyticsEvents.h"
#include "platform/foundation/Clock.h"
#include "platform/outside/Pulse.h"

namespace zorvik {

using platform::foundation::Dictionary;
using platform::foundation::Notification;

std::shared_ptr<AnalyticsListener> AnalyticsListener::sharedAnalyticsManager()
{
    static auto listener
        = std::make_shared<AnalyticsListener>(platform::foundation::NotificationCenter::defaultCenter());
    return listener;
}

AnalyticsListener::AnalyticsListener(platform::foundation::NotificationCenter& broadcaster)
    : m_broadcaster(broadcaster)
    , m_pulse(platform::outside::Pulse::sharedInstanceWithToken(kPulseToken))
{
    auto distinctId = m_pulse->distinctId();
    m_pulse->registerSuperProperties(Dictionary::make({ { "User ID", distinctId } }));
    m_pulse->identify(distinctId);

    observe(AnalyticsEvents::analyticsSignedUp, &AnalyticsListener::signedUp);
    observe(
        AnalyticsEvents::analyticsOpenedCreateInvoiceScreen, &AnalyticsListener::openedCreateInvoiceScreen);
    observe(AnalyticsEvents::analyticsSentInvoice, &AnalyticsListener::sentInvoice);
    observe(AnalyticsEvents::analyticsCancelledCreateInvoice, &AnalyticsListener::cancelledCreateInvoice);
    observe(AnalyticsEvents::analyticsClosedApp, &AnalyticsListener::closedApp);
    observe(AnalyticsEvents::analyticsOpenedApp, &AnalyticsListener::openedApp);
}

void AnalyticsListener::openedApp(const Notification& notification)
{
    track("Opened App", notification);
}

void AnalyticsListener::closedApp(const Notification& notification)
{
    track("Closed App", notification);
}

void AnalyticsListener::signedUp(const Notification& notification)
{
    track("Signed Up", notification);
    if (!notification.userInfo)
        return;
    auto username = notification.userInfo->get("username");
    if (auto text = username.string())
        identifyUserWithPulse(*text);
}

void AnalyticsListener::openedCreateInvoiceScreen(const Notification& notification)
{
    track("Opened Create Invoice Screen", notification);
}

void AnalyticsListener::sentInvoice(const Notification& notification)
{
    track("Sent Invoice", notification);
}

void AnalyticsListener::cancelledCreateInvoice(const Notification& notification)
{
    track("Cancelled Create Invoice", notification);
}

void AnalyticsListener::identifyUserWithPulse(const std::string& username)
{
    m_pulse->people().set(
        Dictionary::make({ { "$email", username }, { "$created", platform::foundation::now() } }));
}

void AnalyticsListener::observe(const char* name, Handler handler)
{
    m_observations.push_back(m_broadcaster.addObserver(name, nullptr,
        [this, handler](const Notification& notification) { (this->*handler)(notification); }));
}

void AnalyticsListener::track(const char* event, const Notification& notification)
{
    m_pulse->track(event, notification.userInfo);
}

}
