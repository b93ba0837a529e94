#include "kit/analytics/EMBAnalyticsLog.h"

#include "kit/core/Cairn.h"

#include "platform/foundation/Log.h"

namespace kit {
namespace {

const platform::foundation::Log& log()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static const auto* shared = new platform::foundation::Log(EMBAnalyticsLog::kPrefix);
    return *shared;
}

}

void EMBAnalyticsLog::write(std::string_view message)
{
    log().write(message);
}

void EMBAnalyticsLog::progress(std::string_view message)
{
    if (Cairn::sharedSDK().debug())
        log().write(message);
}

std::string EMBAnalyticsLog::describe(const std::optional<platform::foundation::Error>& error)
{
    return error ? error->localizedDescription() : std::string("(null)");
}

}
