#pragma once

#include "kit/crash/capture/EMBFile.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kit {

/// A pair of record files written in turn (A, then B, then A again, emptied each time it is taken up), so
/// that the older file stays whole while the newer one fills: logs, recorded errors and custom exceptions.
struct EMBABStorage {
    std::string pathA;
    std::string pathB;
    /// Bytes one file may hold before the pair turns (size-limited storages).
    std::uint32_t maxSize { 0 };
    /// Records one file may hold before the pair turns (entry-limited storages).
    std::uint32_t maxEntries { 0 };
    /// Limited by bytes when set, by entries when clear.
    bool restrictBySize { false };
    /// The records written to the current file (entry-limited storages); lives in the writable state.
    std::uint32_t* entryCount { nullptr };

    /// The limit that applies; 0 means the storage records nothing.
    std::uint32_t limit() const { return restrictBySize ? maxSize : maxEntries; }
};

/// Appends one record to the storage's current file (`*currentFile`, pathA or pathB of the storage), then
/// turns to the other file (emptied first) when the current one has reached its limit. Runs on the logging
/// queue and waits for it; the turn is taken in the same step, so no other record can slip in past the
/// limit. Nothing when the limit is 0 or an argument is missing; false when nothing was written.
///
/// The current file stays open from one record to the next, until the pair turns or logging ends, and each
/// record goes out in write(2)s of its own, one for a record under EMBFile::kBufferSize bytes: every record
/// is in the file when the call returns, and a crash right after loses nothing, without an open and a close
/// a line. The pairs' files are the logging queue's while logging runs: one deleted under it is not made
/// anew before the pair turns.
bool EMBUserLoggingWriteAndCheckABFiles(const EMBABStorage* storage, const std::string** currentFile,
    const std::function<void(EMBFile*)>& writeRecord);

/// Closes the pairs' open files; in the logging queue's turn, when logging ends.
void EMBUserLoggingCloseABFiles();

}
