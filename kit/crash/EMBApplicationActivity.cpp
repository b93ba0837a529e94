#include "kit/crash/EMBApplicationActivity.h"

#include "platform/foundation/ProcessInfo.h"

namespace kit {

using platform::foundation::ProcessInfo;

std::uint64_t EMBApplicationBeginActivity(std::uint64_t options, const std::string& reason)
{
    return ProcessInfo::processInfo().beginActivity(options, reason);
}

void EMBApplicationEndActivity(std::uint64_t token)
{
    if (token != 0)
        ProcessInfo::processInfo().endActivity(token);
}

void EMBApplicationAcivity(
    std::uint64_t options, const std::string& reason, const std::function<void()>& block)
{
    struct Activity {
        std::uint64_t token;
        ~Activity() { EMBApplicationEndActivity(token); }
    } activity { EMBApplicationBeginActivity(options, reason) };
    block();
}

}
