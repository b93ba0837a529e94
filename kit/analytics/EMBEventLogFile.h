#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

namespace kit {

/// One event log file kept open for appending, with its size in bytes.
///
/// Opening replaces a directory standing at the path, creates the file when missing and appends to one that
/// exists (never truncating it). An append that the disk takes only in part is undone, so the file never
/// ends in half a line. Appending or resetting a closed file, or reading or opening one that is open, are
/// programming errors and stop the program. One thread at a time; closed when released.
class EMBEventLogFile {
public:
    /// The file at `url`, opened; null (logged in debug mode) when it cannot be made, measured or opened.
    static std::shared_ptr<EMBEventLogFile> create(const std::filesystem::path& url);
    /// The file `name` in `directory`, as create().
    static std::shared_ptr<EMBEventLogFile> create(
        std::string_view name, const std::filesystem::path& directory);

    virtual ~EMBEventLogFile();
    EMBEventLogFile(const EMBEventLogFile&) = delete;
    EMBEventLogFile& operator=(const EMBEventLogFile&) = delete;

    const std::filesystem::path& fileURL() const { return m_fileURL; }
    /// The file's length in bytes, kept up to date by appends.
    std::uint64_t fileSize() const { return m_fileSize; }
    /// Whether the file is open for writing.
    bool isOpen() const { return m_descriptor >= 0; }

    /// Writes `data` at the end; false (with the error) when not all of it could be written, in which case
    /// the file is cut back to its size before.
    bool appendData(
        const platform::foundation::Bytes& data, std::optional<platform::foundation::Error>* error = nullptr);
    /// Empties the file.
    bool resetFile(std::optional<platform::foundation::Error>* error = nullptr);
    /// The whole content: the file is closed, read and opened again for appending. nullopt with the
    /// reading's error, or the reopening's when only that failed.
    std::optional<platform::foundation::Bytes> readFromFile(
        std::optional<platform::foundation::Error>* error = nullptr);
    /// Closes the file; later appends are programming errors.
    void closeFileHandle();

protected:
    explicit EMBEventLogFile(std::filesystem::path url);
    /// Makes, measures and opens the file (see the class comment); false, logged, when it cannot.
    bool prepare();
    template<class File> static std::shared_ptr<File> prepared(std::shared_ptr<File> file)
    {
        return file->prepare() ? file : nullptr;
    }

private:
    /// Opens the file for appending.
    bool openForWriting(std::optional<platform::foundation::Error>* error);

    std::filesystem::path m_fileURL;
    std::uint64_t m_fileSize { 0 };
    int m_descriptor { -1 };
};

}
