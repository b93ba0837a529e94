#include "kit/crash/EMBKitLog.h"

#include "kit/core/Cairn.h"

namespace kit {

void EMBKitLog::progress(std::string_view message) const
{
    if (Cairn::sharedSDK().debug())
        m_log.write(message);
}

}
