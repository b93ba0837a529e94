#include "conversion/ACTLog.h"

#include "platform/foundation/Log.h"

#include <string>

namespace conversion {

namespace {

const platform::foundation::Log& log()
{
    static const platform::foundation::Log marquee("<Marquee>");
    return marquee;
}

}

void ACTLog::logPublicMessage(std::string_view message)
{
    log().write(message);
}

void ACTLog::logPublicMessage(std::string_view message, std::string_view className)
{
    log().write(std::string(className) + ": " + std::string(message));
}

}
