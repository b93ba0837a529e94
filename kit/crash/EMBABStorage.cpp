#include "kit/crash/EMBABStorage.h"

#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/capture/EMBCaptureUtilities.h"
#include "kit/crash/capture/EMBSDKLog.h"

#include <map>

namespace kit {
namespace {

// A pair's current file, open from the first record written to it until the pair turns or logging ends.
struct OpenFile {
    std::string path;
    EMBFile file;
};

// The open current file of each pair; touched in the logging queue's turn only. Never destroyed: work still
// running on the logging queue at exit may use it.
std::map<const EMBABStorage*, OpenFile>& openFiles()
{
    static auto* files = new std::map<const EMBABStorage*, OpenFile>();
    return *files;
}

void closeFile(OpenFile& open)
{
    if (EMBFileIsOpen(&open.file))
        EMBFileClose(&open.file);
}

// The storage's current file `path`, open for appending: the one already open, or opened now. Null when it
// cannot be opened.
EMBFile* openCurrentFile(const EMBABStorage& storage, const std::string& path)
{
    OpenFile& open = openFiles()[&storage];
    if (EMBFileIsOpen(&open.file) && open.path != path)
        closeFile(open);
    if (!EMBFileIsOpen(&open.file)) {
        if (!EMBFileInitWithPath(&open.file, path.c_str(), false))
            return nullptr;
        open.path = path;
    }
    return &open.file;
}

// Decides, after a record went to the current file, whether the pair turns; in the logging queue's turn.
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
    closeFile(openFiles()[&storage]);
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
        EMBFile* file = openCurrentFile(*storage, **currentFile);
        if (file == nullptr) {
            EMBSDKFileLog("%s: Unable to open log file\n", __func__);
            return;
        }
        // The record gathers in the buffer and goes out before the call returns, in one write(2) when it fits.
        char buffer[EMBFile::kBufferSize];
        EMBFileLendBuffer(file, buffer);
        writeRecord(file);
        EMBFileReturnBuffer(file);
        if (!storage->restrictBySize && storage->entryCount != nullptr)
            ++*storage->entryCount;
        written = true;
        turnIfFull(*storage, currentFile, file->bytesWritten);
    });
    return written;
}

void EMBUserLoggingCloseABFiles()
{
    for (auto& [storage, open] : openFiles())
        closeFile(open);
    openFiles().clear();
}

}
