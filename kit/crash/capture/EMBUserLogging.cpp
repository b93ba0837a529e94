#include "kit/crash/capture/EMBUserLogging.h"

#include "kit/crash/capture/EMBCaptureUtilities.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "platform/foundation/DispatchQueue.h"

#include <cstring>

namespace kit {
namespace {

// Runs on the logging queue after each append.
void rotateIfFull(const EMBABStorage* storage, const char** currentFile, std::uint64_t fileSize)
{
    if (storage->sizeLimited) {
        if (fileSize <= storage->byteLimit)
            return;
    } else {
        if (storage->counter == nullptr) {
            EMBSDKFileLog(
                "%s: Error: storage has invalid pointer, but is restricted by entry count\n", __func__);
            return;
        }
        if (*storage->counter < storage->entryLimit)
            return;
        *storage->counter = 0;
    }
    bool onA = *currentFile == storage->pathA || std::strcmp(*currentFile, storage->pathA) == 0;
    const char* next = onA ? storage->pathB : storage->pathA;
    if (next != nullptr && next[0] != '\0')
        EMBUnlinkIfExists(next);
    *currentFile = next;
}

}

platform::foundation::DispatchQueue& EMBLoggingQueue()
{
    // Never destroyed: a record may still be on its way at exit.
    static auto* queue = new platform::foundation::DispatchQueue("com.cairn.ember.ios.logging");
    return *queue;
}

void EMBUserLoggingWriteAndCheckABFiles(
    const EMBABStorage* storage, const char** currentFile, const std::function<void(EMBFile*)>& writeBlock)
{
    if (storage == nullptr || currentFile == nullptr || !writeBlock)
        return;
    std::uint32_t limit = storage->sizeLimited ? storage->byteLimit : storage->entryLimit;
    if (limit == 0)
        return;
    EMBLoggingQueue().sync([&] {
        if (*currentFile == nullptr)
            return;
        EMBFile file;
        if (!EMBFileInitWithPath(&file, *currentFile, true)) {
            EMBSDKFileLog("%s: Unable to open log file\n", __func__);
            return;
        }
        writeBlock(&file);
        std::uint64_t size = 0;
        EMBFileCloseWithOffset(&file, &size);
        if (!storage->sizeLimited && storage->counter != nullptr)
            ++*storage->counter;
        EMBLoggingQueue().async([storage, currentFile, size] { rotateIfFull(storage, currentFile, size); });
    });
}

}
