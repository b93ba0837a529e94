#include "attribution/WayfinderTracker.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/MainQueue.h"

namespace attribution {

WayfinderTracker& WayfinderTracker::sharedTracker()
{
    static WayfinderTracker tracker;
    return tracker;
}

void WayfinderTracker::setWayfinderDevKey(std::string devKey)
{
    m_devKey = std::move(devKey);
}

void WayfinderTracker::setAppleAppID(std::string appleAppID)
{
    m_appleAppID = std::move(appleAppID);
}

void WayfinderTracker::trackAppLaunch()
{
    platform::foundation::mainQueue().after(kLaunchDelay, [this] { reportLaunch(); });
}

void WayfinderTracker::reset()
{
    m_devKey.clear();
    m_appleAppID.clear();
    m_launchReports.clear();
    m_lastLaunchReport.reset();
}

void WayfinderTracker::reportLaunch()
{
    auto now = platform::foundation::now();
    if (m_lastLaunchReport && now.secondsSince(*m_lastLaunchReport) < kMinimumLaunchInterval)
        return;
    m_lastLaunchReport = now;
    m_launchReports.push_back({ kLaunchedEvent, m_devKey, m_appleAppID, now });
}

}
