#include "kit/crash/capture/EMBCaptureUtilities.h"

#include "kit/crash/capture/EMBSDKLog.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/foundation/Uuid.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace kit {

bool EMBUnlinkIfExists(const char* path)
{
    if (path == nullptr)
        return false;
    if (unlink(path) == 0 || errno == ENOENT)
        return true;
    EMBSDKFileLog("%s: Error: Unable to unlink %s: %s\n", __func__, path, strerrordesc_np(errno));
    return false;
}

std::string EMBNormalizeUUID(const std::string& text)
{
    std::string normalized;
    normalized.reserve(text.size());
    for (char c : text) {
        if (c != '-')
            normalized += char(std::tolower(static_cast<unsigned char>(c)));
    }
    return normalized;
}

std::string EMBGenerateNormalizedUUID()
{
    return EMBNormalizeUUID(platform::foundation::Uuid::random().string());
}

void EMBDispatchAfter(platform::foundation::DispatchQueue& queue, std::function<void()> block, float seconds)
{
    platform::foundation::mainQueue().after(
        double(seconds), [&queue, block = std::move(block)] { queue.async(block); });
}

void EMBAddOperationAfter(
    platform::foundation::OperationQueue& operationQueue, std::function<void()> block, float seconds)
{
    platform::foundation::mainQueue().after(double(seconds), [&operationQueue, block = std::move(block)] {
        platform::foundation::DispatchQueue::global().async(
            [&operationQueue, block] { operationQueue.addOperation(block); });
    });
}

}
