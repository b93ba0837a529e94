#include "kit/analytics/EMBEventLogFile.h"

#include "kit/analytics/EMBAnalyticsLog.h"
#include "kit/analytics/EMBFileSystemError.h"

#include "platform/foundation/Assertion.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace kit {

namespace fs = std::filesystem;
using platform::foundation::Bytes;
using platform::foundation::Error;

namespace {

std::error_code lastSystemError()
{
    return std::error_code(errno, std::system_category());
}

std::string describe(const std::optional<Error>& error)
{
    return error ? error->localizedDescription() : std::string();
}

}

EMBEventLogFile::EMBEventLogFile(fs::path url)
    : m_fileURL(std::move(url))
{
}

EMBEventLogFile::~EMBEventLogFile()
{
    closeFileHandle();
}

std::shared_ptr<EMBEventLogFile> EMBEventLogFile::create(const fs::path& url)
{
    return prepared(std::shared_ptr<EMBEventLogFile>(new EMBEventLogFile(url)));
}

std::shared_ptr<EMBEventLogFile> EMBEventLogFile::create(std::string_view name, const fs::path& directory)
{
    return create(directory / name);
}

bool EMBEventLogFile::prepare()
{
    const std::string path = m_fileURL.string();
    std::error_code code;
    if (fs::is_directory(fs::symlink_status(m_fileURL, code))) {
        fs::remove_all(m_fileURL, code);
        if (code)
            EMBAnalyticsLog::progress("EMBEventLogFile: Unable to delete blocking directory " + path
                + " [error: " + code.message() + "]");
    }
    if (!fs::exists(m_fileURL, code)) {
        std::ofstream created(m_fileURL, std::ios::binary | std::ios::app);
    }
    auto size = fs::file_size(m_fileURL, code);
    if (code) {
        EMBAnalyticsLog::progress("EMBEventLogFile: Unable to get attributes for item at path " + path
            + " [error: " + code.message() + "]");
        return false;
    }
    m_fileSize = size;
    std::optional<Error> error;
    if (!openForWriting(&error)) {
        EMBAnalyticsLog::progress("EMBEventLogFile: Unable to get open file for writing at path " + path
            + " [error: " + describe(error) + "]");
        return false;
    }
    return true;
}

bool EMBEventLogFile::openForWriting(std::optional<Error>* error)
{
    platform::foundation::precondition(!isOpen(), "EMBEventLogFile: the file is open already");
    m_descriptor = ::open(m_fileURL.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (m_descriptor < 0)
        return EMBFail(error, EMBFileSystemError(lastSystemError(), m_fileURL));
    return true;
}

bool EMBEventLogFile::appendData(const Bytes& data, std::optional<Error>* error)
{
    platform::foundation::precondition(isOpen(), "EMBEventLogFile: appending to a closed file");
    std::size_t written = 0;
    while (written < data.size()) {
        auto count = ::write(m_descriptor, data.data() + written, data.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            auto failure = EMBFileSystemError(
                count < 0 ? lastSystemError() : std::make_error_code(std::errc::io_error), m_fileURL);
            if (written > 0 && ::ftruncate(m_descriptor, static_cast<off_t>(m_fileSize)) != 0)
                m_fileSize += written;
            return EMBFail(error, failure);
        }
        written += static_cast<std::size_t>(count);
    }
    m_fileSize += written;
    return true;
}

bool EMBEventLogFile::resetFile(std::optional<Error>* error)
{
    platform::foundation::precondition(isOpen(), "EMBEventLogFile: resetting a closed file");
    if (::ftruncate(m_descriptor, 0) != 0)
        return EMBFail(error, EMBFileSystemError(lastSystemError(), m_fileURL));
    m_fileSize = 0;
    return true;
}

std::optional<Bytes> EMBEventLogFile::readFromFile(std::optional<Error>* error)
{
    closeFileHandle();
    std::optional<Error> readError;
    std::optional<Bytes> content;
    std::ifstream file(m_fileURL, std::ios::binary);
    if (file) {
        content = Bytes(std::istreambuf_iterator<char>(file), {});
        if (file.bad())
            content.reset();
    }
    if (!content)
        readError = EMBFileSystemError(std::make_error_code(std::errc::io_error), m_fileURL);
    std::optional<Error> reopenError;
    if (!openForWriting(&reopenError)) {
        if (readError)
            EMBAnalyticsLog::progress("EMBEventLogFile: Unable to reopen file for writing at path "
                + m_fileURL.string() + " [error: " + describe(reopenError) + "]");
        EMBFail(error, readError ? *readError : *reopenError);
        return std::nullopt;
    }
    if (readError) {
        EMBFail(error, *readError);
        return std::nullopt;
    }
    return content;
}

void EMBEventLogFile::closeFileHandle()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

}
