#pragma once

#include "kit/crash/capture/EMBFile.h"

#include <cstdint>
#include <functional>

namespace platform::foundation {
class DispatchQueue;
}

namespace kit {

/// A pair of record files written in turn: records go to the current file until it holds its limit, then
/// the other file is emptied and becomes current. So the last records are always on disk, and the files
/// never grow past about twice the limit.
struct EMBABStorage {
    const char* pathA { nullptr };
    const char* pathB { nullptr };
    /// Bytes a file may hold, for a storage limited by size.
    std::uint32_t byteLimit { 0 };
    /// Records a file may hold, for a storage limited by entries.
    std::uint32_t entryLimit { 0 };
    /// Limited by bytes when set, by entries when clear.
    std::uint8_t sizeLimited { 0 };
    /// Records in the current file, for a storage limited by entries (in the writable context).
    std::uint32_t* counter { nullptr };
};

/// The serial queue every user-log, key-value, error and custom-exception write runs on.
platform::foundation::DispatchQueue& EMBLoggingQueue();

/// Appends one record to the current file of `storage` and waits until it is on disk: `writeBlock` writes it
/// into the opened file. Then, on the logging queue, switches files once the current one holds its limit.
/// Nothing happens without a storage, a current file or a block, or when the storage's limit is 0.
void EMBUserLoggingWriteAndCheckABFiles(
    const EMBABStorage* storage, const char** currentFile, const std::function<void(EMBFile*)>& writeBlock);

}
