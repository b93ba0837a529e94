#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kit {

/// The writer of record files: one JSON object per line whose only member is named by the record. A state
/// belongs to one thread at a time. Unbuffered, nothing allocates and only write(2) is called, so it runs in
/// a signal handler; buffered mode allocates its buffer once, at open.
struct EMBFile {
    /// Size of the buffered mode's buffer.
    static constexpr std::size_t kBufferSize { 1000 };

    int fd { -1 };
    std::int32_t collectionDepth { 0 };
    std::uint8_t needComma { 0 };
    std::uint8_t bufferWrites { 0 };
    char* writeBuffer { nullptr };
    std::size_t writeBufferLength { 0 };
    std::uint64_t bytesWritten { 0 };
    /// Set when a write failed part-way: the next record starts on a line of its own.
    std::uint8_t lineBroken { 0 };
};

/// Opens `path` for appending (created with mode 0644). The bytes-written count starts at the file's size.
bool EMBFileInitWithPath(EMBFile* file, const char* path, bool buffered);
/// Opens `path` for appending or, when `append` is false, truncated.
bool EMBFileInitWithPathMode(EMBFile* file, const char* path, bool append, bool buffered);
/// Flushes, frees the buffer, closes and resets the state (descriptor -1).
bool EMBFileClose(EMBFile* file);
/// EMBFileClose, answering the bytes-written count through `offset` (when given).
bool EMBFileCloseWithOffset(EMBFile* file, std::uint64_t* offset);
/// Whether the descriptor is open.
bool EMBFileIsOpen(const EMBFile* file);

/// Lends an unbuffered writer `buffer` (EMBFile::kBufferSize bytes, on the caller's stack) until
/// EMBFileReturnBuffer: writes gather there and go out a buffer at a time, so that a long record costs a
/// few system calls rather than one per value, still without allocating. False (and nothing lent) for a
/// writer that is closed or has a buffer of its own.
bool EMBFileLendBuffer(EMBFile* file, char* buffer);
/// Writes out what the lent buffer holds.
bool EMBFileFlushLentBuffer(EMBFile* file);
/// Writes out what the lent buffer holds and makes the writer unbuffered again. Must come before the writer
/// is closed and before the buffer goes away.
bool EMBFileReturnBuffer(EMBFile* file);

/// Starts a record: "{" and the record's name as key. After a failed write or a record left open, a line
/// feed first, so that the broken line stays apart.
bool EMBFileWriteSectionStart(EMBFile* file, const char* name);
/// Ends a record: "}" and a line feed.
bool EMBFileWriteSectionEnd(EMBFile* file);

bool EMBFileWriteHashStart(EMBFile* file);
bool EMBFileWriteHashEnd(EMBFile* file);
bool EMBFileWriteArrayStart(EMBFile* file);
bool EMBFileWriteArrayEnd(EMBFile* file);
/// Writes `"key":`, preceded by a comma when an entry came before. Keys are the code's own names: not
/// escaped.
bool EMBFileWriteHashKey(EMBFile* file, const char* key);

bool EMBFileWriteHashEntryUint64(EMBFile* file, const char* key, std::uint64_t value);
bool EMBFileWriteHashEntryInt64(EMBFile* file, const char* key, std::int64_t value);
/// A plain JSON string (escaped where needed); `null` for a null `value`.
bool EMBFileWriteHashEntryString(EMBFile* file, const char* key, const char* value);
/// A plain JSON string from a string object; `null` for none.
bool EMBFileWriteHashEntryNSString(EMBFile* file, const char* key, const std::optional<std::string>& value);
/// As EMBFileWriteHashEntryNSString, but writes nothing for none or an empty string.
bool EMBFileWriteHashEntryNSStringUnlessNilOrEmpty(
    EMBFile* file, const char* key, const std::optional<std::string>& value);
/// Every byte of `value` as two lower-case hexadecimal digits; `null` for a null `value`.
bool EMBFileWriteHashEntryHexEncodedString(EMBFile* file, const char* key, const char* value);
bool EMBFileWriteHashEntryBoolean(EMBFile* file, const char* key, bool value);

bool EMBFileWriteArrayEntryUint64(EMBFile* file, std::uint64_t value);
bool EMBFileWriteArrayEntryString(EMBFile* file, const char* value);
bool EMBFileWriteArrayEntryHexEncodedString(EMBFile* file, const char* value);

/// Writes all `length` bytes to `fd`, continuing after short writes; false (and an SDK log line) on failure.
bool EMBFileWriteWithRetries(int fd, const void* bytes, std::size_t length);

/// The hexadecimal form of `text`, as the writer writes hex strings (without quotes).
std::string EMBFileHexEncodeString(const std::string& text);

}
