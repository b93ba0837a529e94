#pragma once

#include "platform/foundation/Value.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace platform::foundation {

/// Somewhere bytes are written in order: memory or a file. Open it, write, close it. A write answers how
/// many bytes the stream accepted, which may be fewer than given (a full disk), or -1 when the stream is not
/// open or has failed. Not thread-safe: one writer at a time.
class OutputStream {
public:
    virtual ~OutputStream() = default;

    /// Opens the stream for writing; false when it cannot be.
    virtual bool open() = 0;
    /// Closes the stream; later writes answer -1.
    virtual void close() = 0;
    /// Writes up to `length` bytes and answers how many were accepted, or -1 on failure.
    virtual std::ptrdiff_t write(const std::uint8_t* bytes, std::size_t length) = 0;
};

/// A stream into memory: everything written is kept in data(), which grows as needed.
class MemoryOutputStream final : public OutputStream {
public:
    /// A stream that reserves room for `capacity` bytes up front.
    explicit MemoryOutputStream(std::size_t capacity = 0) { m_data.reserve(capacity); }

    bool open() override;
    void close() override { m_open = false; }
    std::ptrdiff_t write(const std::uint8_t* bytes, std::size_t length) override;

    /// The bytes written so far.
    const Bytes& data() const { return m_data; }
    /// Hands over the bytes written, leaving the stream empty.
    Bytes takeData() { return std::move(m_data); }

private:
    Bytes m_data;
    bool m_open { false };
};

/// A stream into a file, created or emptied on open() (or appended to).
class FileOutputStream final : public OutputStream {
public:
    explicit FileOutputStream(std::filesystem::path path, bool append = false);
    ~FileOutputStream() override;
    FileOutputStream(const FileOutputStream&) = delete;
    FileOutputStream& operator=(const FileOutputStream&) = delete;

    bool open() override;
    void close() override;
    std::ptrdiff_t write(const std::uint8_t* bytes, std::size_t length) override;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    bool m_append { false };
    int m_descriptor { -1 };
};

}
