#pragma once

#include "kit/crash/EMBABStorage.h"
#include "kit/crash/EMBKeyValueStorage.h"
#include "kit/crash/EMBLoggingQueue.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/Value.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kit {

/// The limits a launch's crash settings give its logging.
struct EMBUserLoggingLimits {
    bool errorReportingEnabled { true };
    bool customExceptionsEnabled { true };
    /// Entries per file of the error and custom-exception pairs.
    std::uint32_t maxCustomExceptions { 16 };
    /// Bytes per custom log file.
    std::uint32_t logBufferSize { 65536 };
    /// Keys the user store keeps.
    std::uint32_t maxCustomKeys { 16 };
};

/// The run's five storages in the report directory; fixed once set up.
struct EMBUserLoggingStorages {
    EMBKeyValueStorage userKVStorage;
    EMBKeyValueStorage internalKVStorage;
    EMBABStorage logStorage;
    EMBABStorage errorStorage;
    EMBABStorage customExceptionStorage;
    /// Monotonic nanoseconds at set-up: log times count from here.
    std::uint64_t logTimeOrigin { 0 };
};

/// What changes while the run logs: the file of each pair being written, and the write counters.
struct EMBUserLoggingWritableState {
    const std::string* logStorageCurrentFile { nullptr };
    const std::string* errorStorageCurrentFile { nullptr };
    const std::string* customExceptionStorageCurrentFile { nullptr };
    std::uint32_t userKVCount { 0 };
    std::uint32_t internalKVCount { 0 };
    std::uint32_t errorsCount { 0 };
    std::uint32_t customExceptionCount { 0 };
};

/// Key-value stores keep this many keys in the internal store.
inline constexpr std::uint32_t kEMBInternalKVMaxKeys { 32 };

/// Fills `storages` with the record files of `directory` and `limits`; the entry counters point into
/// `writable`.
void EMBUserLoggingSetUpStorages(EMBUserLoggingStorages* storages, EMBUserLoggingWritableState* writable,
    const std::string& directory, const EMBUserLoggingLimits& limits);

/// Makes `storages` and `writable` the run's logging state: every pair starts at its A file, the counters at
/// 0, the log clock at now; the logging queue ("com.cairn.ember.ios.logging") is made on first use. Both must
/// outlive logging.
void EMBUserLoggingInit(EMBUserLoggingStorages* storages, EMBUserLoggingWritableState* writable);
/// Lets queued logging finish and forgets the state: recording does nothing again.
void EMBUserLoggingDeinit();
/// Whether EMBUserLoggingInit has run (and not been undone).
bool EMBUserLoggingIsInitialized();
/// The run's storages, or null before set-up.
const EMBUserLoggingStorages* EMBUserLoggingCurrentStorages();
/// The run's writable state, or null before set-up.
EMBUserLoggingWritableState* EMBUserLoggingCurrentState();
/// The serial queue every record, compaction and turn of a pair runs on; null before set-up.
EMBLoggingQueue* EMBUserLoggingQueue();

/// Milliseconds since the log clock's origin (monotonic).
std::uint64_t EMBUserLoggingLogTime();

/// Longest custom log message; a longer one is cut here.
std::size_t EMBUserLoggingMaxLogSize();
/// Most bytes of text (domain and information) one recorded error keeps.
std::size_t EMBUserLoggingMaxErrorSize();
/// `text` cut to at most `limit` bytes, never inside a UTF-8 character.
std::string EMBUserLoggingCutText(std::string text, std::size_t limit);

/// Records a custom key and value into the user store; a null value removes the key.
void EMBUserLoggingRecordUserKeyValue(const std::string& key, const platform::foundation::Value& value);
/// Records a key and value into the internal store.
void EMBUserLoggingRecordInternalKeyValue(const std::string& key, const platform::foundation::Value& value);
/// Writes into the internal store at once, on the logging queue; callers on that queue write in place.
void EMBUserLoggingWriteInternalKeyValue(const std::string& key, const platform::foundation::Value& value);

/// Records a non-fatal error with the caller's return addresses and `additionalUserInfo` (may be null).
void EMBUserLoggingRecordError(
    const platform::foundation::Error& error, const platform::foundation::DictionaryRef& additionalUserInfo);

}
