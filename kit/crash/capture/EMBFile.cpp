#include "kit/crash/capture/EMBFile.h"

#include "kit/crash/capture/EMBSDKLog.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace kit {
namespace {

constexpr int kMaxWritePasses { 50 };
constexpr char kHexDigits[] { "0123456789abcdef" };

bool flushBuffer(EMBFile* file)
{
    if (file->writeBufferLength == 0)
        return true;
    bool ok = EMBFileWriteWithRetries(file->fd, file->writeBuffer, file->writeBufferLength);
    file->writeBufferLength = 0;
    if (!ok)
        file->lineBroken = 1;
    return ok;
}

bool writeBytes(EMBFile* file, const char* bytes, std::size_t length)
{
    if (file == nullptr || file->fd < 0)
        return false;
    if (!file->bufferWrites || file->writeBuffer == nullptr) {
        bool ok = EMBFileWriteWithRetries(file->fd, bytes, length);
        if (ok)
            file->bytesWritten += length;
        else
            file->lineBroken = 1;
        return ok;
    }
    while (length > 0) {
        std::size_t count = std::min(EMBFile::kBufferSize - 1 - file->writeBufferLength, length);
        std::memcpy(file->writeBuffer + file->writeBufferLength, bytes, count);
        file->writeBufferLength += count;
        file->bytesWritten += count;
        bytes += count;
        length -= count;
        if (file->writeBufferLength >= EMBFile::kBufferSize - 1 && !flushBuffer(file))
            return false;
    }
    return true;
}

// Assembles a piece of output in a small stack buffer and hands it on in chunks.
class Piece {
public:
    explicit Piece(EMBFile* file)
        : m_file(file)
    {
    }

    void put(char c)
    {
        if (m_length == sizeof m_bytes)
            flush();
        m_bytes[m_length++] = c;
    }
    void put(const char* text)
    {
        while (*text != '\0')
            put(*text++);
    }
    bool finish()
    {
        flush();
        return m_ok;
    }

private:
    void flush()
    {
        if (m_length > 0 && m_ok)
            m_ok = writeBytes(m_file, m_bytes, m_length);
        m_length = 0;
    }

    EMBFile* m_file;
    char m_bytes[64];
    std::size_t m_length { 0 };
    bool m_ok { true };
};

// Length of the well-formed UTF-8 sequence at `at` (1 to 4), or 0 when it is not one.
std::size_t utf8SequenceLength(const unsigned char* at)
{
    auto continuation = [](unsigned char c) { return (c & 0xc0) == 0x80; };
    unsigned char lead = at[0];
    if (lead >= 0xc2 && lead <= 0xdf)
        return continuation(at[1]) ? 2 : 0;
    if (lead >= 0xe0 && lead <= 0xef) {
        unsigned char low = lead == 0xe0 ? 0xa0 : 0x80;
        unsigned char high = lead == 0xed ? 0x9f : 0xbf;
        return at[1] >= low && at[1] <= high && continuation(at[2]) ? 3 : 0;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        unsigned char low = lead == 0xf0 ? 0x90 : 0x80;
        unsigned char high = lead == 0xf4 ? 0x8f : 0xbf;
        return at[1] >= low && at[1] <= high && continuation(at[2]) && continuation(at[3]) ? 4 : 0;
    }
    return 0;
}

// A JSON string: quote, backslash and control characters escaped, bytes that are not UTF-8 as U+FFFD.
void putQuoted(Piece& piece, const char* text)
{
    piece.put('"');
    for (auto* at = reinterpret_cast<const unsigned char*>(text); *at != '\0';) {
        unsigned char c = *at;
        if (c == '"' || c == '\\') {
            piece.put('\\');
            piece.put(char(c));
        } else if (c == '\n') {
            piece.put("\\n");
        } else if (c == '\r') {
            piece.put("\\r");
        } else if (c == '\t') {
            piece.put("\\t");
        } else if (c < 0x20) {
            piece.put("\\u00");
            piece.put(kHexDigits[c >> 4]);
            piece.put(kHexDigits[c & 0xf]);
        } else if (c < 0x80) {
            piece.put(char(c));
        } else if (std::size_t length = utf8SequenceLength(at); length > 0) {
            for (std::size_t i = 0; i < length; ++i)
                piece.put(char(at[i]));
            at += length;
            continue;
        } else {
            piece.put("\\ufffd");
        }
        ++at;
    }
    piece.put('"');
}

void putHex(Piece& piece, const char* text)
{
    piece.put('"');
    for (auto* at = reinterpret_cast<const unsigned char*>(text); *at != '\0'; ++at) {
        piece.put(kHexDigits[*at >> 4]);
        piece.put(kHexDigits[*at & 0xf]);
    }
    piece.put('"');
}

void putUnsigned(Piece& piece, std::uint64_t value)
{
    char digits[21];
    std::size_t count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        piece.put(digits[--count]);
}

void putSigned(Piece& piece, std::int64_t value)
{
    if (value < 0)
        piece.put('-');
    putUnsigned(piece, value < 0 ? 0 - static_cast<std::uint64_t>(value) : std::uint64_t(value));
}

bool openCollection(EMBFile* file, char opener)
{
    Piece piece(file);
    if (file->needComma)
        piece.put(',');
    piece.put(opener);
    ++file->collectionDepth;
    file->needComma = 0;
    return piece.finish();
}

bool closeCollection(EMBFile* file, char closer)
{
    Piece piece(file);
    piece.put(closer);
    if (file->collectionDepth > 0) {
        file->needComma = file->collectionDepth > 1;
        --file->collectionDepth;
    }
    return piece.finish();
}

void putKey(EMBFile* file, Piece& piece, const char* key)
{
    if (file->needComma)
        piece.put(',');
    piece.put('"');
    piece.put(key);
    piece.put("\":");
    file->needComma = 0;
}

// Writes one entry (after its key, when it has one) with `putValue`, then asks for a separator.
template<class PutValue> bool writeEntry(EMBFile* file, const char* key, PutValue putValue)
{
    if (file == nullptr || file->fd < 0)
        return false;
    Piece piece(file);
    if (key != nullptr)
        putKey(file, piece, key);
    else if (file->needComma)
        piece.put(',');
    putValue(piece);
    file->needComma = 1;
    return piece.finish();
}

}

bool EMBFileWriteWithRetries(int fd, const void* bytes, std::size_t length)
{
    auto* at = static_cast<const char*>(bytes);
    for (int pass = 0; pass < kMaxWritePasses && length > 0; ++pass) {
        errno = 0;
        ssize_t count = write(fd, at, length);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            EMBSDKFileLog("%s: Failed to write: %s\n", __func__, strerrordesc_np(errno));
            break;
        }
        if (std::size_t(count) > length) {
            EMBSDKFileLog("%s: Error: length doesn't make sense (%zd, %zu)\n", __func__, count, length);
            return false;
        }
        if (count == 0)
            break;
        at += count;
        length -= std::size_t(count);
    }
    if (length == 0)
        return true;
    EMBSDKFileLog("%s: Error: exited write loop without success\n", __func__);
    return false;
}

bool EMBFileInitWithPath(EMBFile* file, const char* path, bool buffered)
{
    return EMBFileInitWithPathMode(file, path, true, buffered);
}

bool EMBFileInitWithPathMode(EMBFile* file, const char* path, bool append, bool buffered)
{
    if (file == nullptr) {
        EMBSDKFileLog("%s: Error: file is null\n", __func__);
        return false;
    }
    *file = EMBFile {};
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    file->fd = path == nullptr ? -1 : open(path, flags, 0644);
    if (file->fd < 0) {
        EMBSDKFileLog("%s: Error: Unable to open file %s\n", __func__, path);
        return false;
    }
    struct stat status { };
    if (append && fstat(file->fd, &status) == 0)
        file->bytesWritten = std::uint64_t(status.st_size);
    if (buffered) {
        file->writeBuffer = new (std::nothrow) char[EMBFile::kBufferSize];
        file->bufferWrites = file->writeBuffer != nullptr;
    }
    return true;
}

bool EMBFileClose(EMBFile* file)
{
    return EMBFileCloseWithOffset(file, nullptr);
}

bool EMBFileCloseWithOffset(EMBFile* file, std::uint64_t* offset)
{
    if (file == nullptr || file->fd < 0) {
        EMBSDKFileLog("%s: Error: file descriptor invalid\n", __func__);
        return false;
    }
    bool ok = flushBuffer(file);
    delete[] file->writeBuffer;
    if (offset != nullptr)
        *offset = file->bytesWritten;
    if (close(file->fd) != 0) {
        EMBSDKFileLog("%s: Error: Unable to close file %d\n", __func__, file->fd);
        ok = false;
    }
    *file = EMBFile {};
    return ok;
}

bool EMBFileIsOpen(const EMBFile* file)
{
    return file != nullptr && file->fd >= 0;
}

bool EMBFileLendBuffer(EMBFile* file, char* buffer)
{
    if (!EMBFileIsOpen(file) || file->writeBuffer != nullptr || buffer == nullptr)
        return false;
    file->writeBuffer = buffer;
    file->writeBufferLength = 0;
    file->bufferWrites = 1;
    return true;
}

bool EMBFileFlushLentBuffer(EMBFile* file)
{
    return file != nullptr && flushBuffer(file);
}

bool EMBFileReturnBuffer(EMBFile* file)
{
    if (file == nullptr)
        return false;
    bool ok = flushBuffer(file);
    file->writeBuffer = nullptr;
    file->bufferWrites = 0;
    return ok;
}

bool EMBFileWriteSectionStart(EMBFile* file, const char* name)
{
    if (file == nullptr || file->fd < 0)
        return false;
    if (file->lineBroken || file->collectionDepth != 0) {
        file->lineBroken = 0;
        writeBytes(file, "\n", 1);
        file->collectionDepth = 0;
        file->needComma = 0;
    }
    bool opened = openCollection(file, '{');
    Piece piece(file);
    putKey(file, piece, name);
    return piece.finish() && opened;
}

bool EMBFileWriteSectionEnd(EMBFile* file)
{
    if (file == nullptr || file->fd < 0)
        return false;
    bool closed = closeCollection(file, '}');
    return writeBytes(file, "\n", 1) && closed;
}

bool EMBFileWriteHashStart(EMBFile* file)
{
    return file != nullptr && file->fd >= 0 && openCollection(file, '{');
}

bool EMBFileWriteHashEnd(EMBFile* file)
{
    return file != nullptr && file->fd >= 0 && closeCollection(file, '}');
}

bool EMBFileWriteArrayStart(EMBFile* file)
{
    return file != nullptr && file->fd >= 0 && openCollection(file, '[');
}

bool EMBFileWriteArrayEnd(EMBFile* file)
{
    return file != nullptr && file->fd >= 0 && closeCollection(file, ']');
}

bool EMBFileWriteHashKey(EMBFile* file, const char* key)
{
    if (file == nullptr || file->fd < 0)
        return false;
    Piece piece(file);
    putKey(file, piece, key);
    return piece.finish();
}

bool EMBFileWriteHashEntryUint64(EMBFile* file, const char* key, std::uint64_t value)
{
    return writeEntry(file, key, [&](Piece& piece) { putUnsigned(piece, value); });
}

bool EMBFileWriteHashEntryInt64(EMBFile* file, const char* key, std::int64_t value)
{
    return writeEntry(file, key, [&](Piece& piece) { putSigned(piece, value); });
}

bool EMBFileWriteHashEntryString(EMBFile* file, const char* key, const char* value)
{
    return writeEntry(file, key, [&](Piece& piece) { value ? putQuoted(piece, value) : piece.put("null"); });
}

bool EMBFileWriteHashEntryNSString(EMBFile* file, const char* key, const std::optional<std::string>& value)
{
    return EMBFileWriteHashEntryString(file, key, value ? value->c_str() : nullptr);
}

bool EMBFileWriteHashEntryNSStringUnlessNilOrEmpty(
    EMBFile* file, const char* key, const std::optional<std::string>& value)
{
    if (!value || value->empty())
        return true;
    return EMBFileWriteHashEntryString(file, key, value->c_str());
}

bool EMBFileWriteHashEntryHexEncodedString(EMBFile* file, const char* key, const char* value)
{
    return writeEntry(file, key, [&](Piece& piece) { value ? putHex(piece, value) : piece.put("null"); });
}

bool EMBFileWriteHashEntryBoolean(EMBFile* file, const char* key, bool value)
{
    return writeEntry(file, key, [&](Piece& piece) { piece.put(value ? "true" : "false"); });
}

bool EMBFileWriteArrayEntryUint64(EMBFile* file, std::uint64_t value)
{
    return writeEntry(file, nullptr, [&](Piece& piece) { putUnsigned(piece, value); });
}

bool EMBFileWriteArrayEntryString(EMBFile* file, const char* value)
{
    return writeEntry(
        file, nullptr, [&](Piece& piece) { value ? putQuoted(piece, value) : piece.put("null"); });
}

bool EMBFileWriteArrayEntryHexEncodedString(EMBFile* file, const char* value)
{
    return writeEntry(file, nullptr, [&](Piece& piece) { value ? putHex(piece, value) : piece.put("null"); });
}

std::string EMBFileHexEncodeString(const std::string& text)
{
    std::string hex;
    hex.reserve(text.size() * 2);
    for (unsigned char c : text) {
        hex += kHexDigits[c >> 4];
        hex += kHexDigits[c & 0xf];
    }
    return hex;
}

}
