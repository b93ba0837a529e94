#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kit {

/// A key-value store on disk: every change is appended to an incremental file, and every
/// `compactionThreshold` writes the two files are merged into the compacted snapshot.
struct EMBKeyValueStorage {
    std::string incrementalPath;
    std::string compactedPath;
    /// Writes between two compactions.
    std::uint32_t compactionThreshold { 64 };
    /// Keys the snapshot keeps; a compaction drops any beyond.
    std::uint32_t maxCountOfKeys { 0 };
};

/// Records `key` = `value` (none removes the key) into `storage`, on the logging queue, waiting until it is
/// on disk. Nothing before the logging state is set up.
void EMBUserLoggingRecordKeyValue(const std::string& key, const std::optional<std::string>& value,
    const EMBKeyValueStorage* storage, std::uint32_t* counter);

/// Appends one "kv" record and counts it in `*counter`; at the threshold, compaction is queued and the
/// counter starts again. Must run on the logging queue: called elsewhere it logs and writes nothing (false),
/// since an append made between compaction's read and its delete of the incremental file would be lost.
bool EMBUserLoggingWriteKeyValue(const std::string& key, const std::optional<std::string>& value,
    const EMBKeyValueStorage* storage, std::uint32_t* counter);

/// Merges the incremental file into the snapshot (later records win, a null value removes its key), keeping
/// at most `maxCountOfKeys`. The snapshot is written under a "." name and renamed over the old one before the
/// incremental file goes, so a kill at any moment leaves every key readable. On the logging queue.
void EMBUserLoggingCompactKVEntries(const EMBKeyValueStorage* storage);

/// The "kv" objects ({"key": hex, "value": hex or null}) of a key-value file in file order; nullopt when
/// logging is not set up or the file cannot be read (it is then deleted).
std::optional<std::vector<platform::foundation::DictionaryRef>> EMBUserLoggingStoredKeyValues(
    const std::string& path);

/// What a value reads as in a key-value store or an error's information: a string as it stands, a number or
/// boolean as its text, bytes as hex, a container as JSON; none for null.
std::optional<std::string> EMBValueDescription(const platform::foundation::Value& value);

}
