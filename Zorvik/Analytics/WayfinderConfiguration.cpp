#include "Zorvik/Analytics/WayfinderConfiguration.h"

#include "attribution/WayfinderTracker.h"

namespace zorvik {

void WayfinderConfiguration::setUp()
{
    auto& tracker = attribution::WayfinderTracker::sharedTracker();
    tracker.setWayfinderDevKey(kDevKey);
    tracker.setAppleAppID(kAppleAppID);
}

}
