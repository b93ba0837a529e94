#include "Zorvik/Analytics/WayfinderConfiguration.h"

#include "attribution/WayfinderTracker.h"

#if !defined(ZORVIK_WAYFINDER_DEV_KEY) || !defined(ZORVIK_WAYFINDER_APP_ID)
#error "ZORVIK_WAYFINDER_DEV_KEY and ZORVIK_WAYFINDER_APP_ID must name the build's tracker settings"
#endif

namespace zorvik {

std::string WayfinderConfiguration::devKey()
{
    return ZORVIK_WAYFINDER_DEV_KEY;
}

std::string WayfinderConfiguration::appleAppID()
{
    return ZORVIK_WAYFINDER_APP_ID;
}

void WayfinderConfiguration::setUp()
{
    auto& tracker = attribution::WayfinderTracker::sharedTracker();
    tracker.setWayfinderDevKey(devKey());
    tracker.setAppleAppID(appleAppID());
}

}
