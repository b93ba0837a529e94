#include "kit/crash/EMBABStorage.h"

#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/capture/EMBCaptureUtilities.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "platform/foundation/DispatchQueue.h"

namespace kit {
namespace {

// Decides, after a record went to the current file, whether the pair turns; on the logging queue.
void turnIfFull(const EMBABStorage& storage, const std::string** currentFile, std::uint64_t fileSize)
{
    if (!storage.restrictBySize) {
        if (storage.entryCount == nullptr) {
            EMBSDKFileLog(
                "%s: Error: storage has invalid pointer, but is restricted by entry count\n", __func__);
            return;
        }
        if (*storage.entryCount < storage.maxEntries)
            return;
        *storage.entryCount = 0;
    } else if (fileSize <= storage.maxSize) {
        return;
    }
    const std::string* next = *currentFile == &storage.pathA ? &storage.pathB : &storage.pathA;
    if (!next->empty())
        EMBUnlinkIfExists(next->c_str());
    *currentFile = next;
}

}

bool EMBUserLoggingWriteAndCheckABFiles(const EMBABStorage* storage, const std::string** currentFile,
    const std::function<void(EMBFile*)>& writeRecord)
{
    if (storage == nullptr || currentFile == nullptr || *currentFile == nullptr || !writeRecord
        || storage->limit() == 0)
        return false;
    auto* queue = EMBUserLoggingQueue();
    if (queue == nullptr)
        return false;
    bool written = false;
    queue->sync([&] {
        EMBFile file;
        if (!EMBFileInitWithPath(&file, (*currentFile)->c_str(), true)) {
            EMBSDKFileLog("%s: Unable to open log file\n", __func__);
            return;
        }
        writeRecord(&file);
        std::uint64_t size = 0;
        EMBFileCloseWithOffset(&file, &size);
        if (!storage->restrictBySize && storage->entryCount != nullptr)
            ++*storage->entryCount;
        written = true;
        turnIfFull(*storage, currentFile, size);
    });
    return written;
}

}
