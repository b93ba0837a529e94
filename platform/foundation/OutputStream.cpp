#include "platform/foundation/OutputStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace platform::foundation {

bool MemoryOutputStream::open()
{
    m_open = true;
    return true;
}

std::ptrdiff_t MemoryOutputStream::write(const std::uint8_t* bytes, std::size_t length)
{
    if (!m_open)
        return -1;
    if (length > 0)
        m_data.insert(m_data.end(), bytes, bytes + length);
    return static_cast<std::ptrdiff_t>(length);
}

FileOutputStream::FileOutputStream(std::filesystem::path path, bool append)
    : m_path(std::move(path))
    , m_append(append)
{
}

FileOutputStream::~FileOutputStream()
{
    close();
}

bool FileOutputStream::open()
{
    close();
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (m_append ? O_APPEND : O_TRUNC);
    m_descriptor = ::open(m_path.c_str(), flags, 0644);
    return m_descriptor >= 0;
}

void FileOutputStream::close()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

std::ptrdiff_t FileOutputStream::write(const std::uint8_t* bytes, std::size_t length)
{
    if (m_descriptor < 0)
        return -1;
    std::size_t done = 0;
    while (done < length) {
        ssize_t written = ::write(m_descriptor, bytes + done, length - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return done > 0 ? static_cast<std::ptrdiff_t>(done) : -1;
        done += static_cast<std::size_t>(written);
    }
    return static_cast<std::ptrdiff_t>(done);
}

}
