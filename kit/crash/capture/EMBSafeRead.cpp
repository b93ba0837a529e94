#include "kit/crash/capture/EMBSafeRead.h"

#include "kit/crash/capture/EMBSDKLog.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace kit {
namespace {

constexpr std::uintptr_t kFirstValidAddress { 4096 };
constexpr std::size_t kPageSize { 4096 };
constexpr std::size_t kPipeChunk { 4096 };

// Set once process_vm_readv was refused (a sandbox, a kernel without it): later reads go through a pipe.
std::atomic<bool> g_vmReadRefused { false };

bool readThroughVm(const void* address, void* buffer, std::size_t length)
{
    iovec local { buffer, length };
    iovec remote { const_cast<void*>(address), length };
    for (;;) {
        ssize_t count = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
        if (count == ssize_t(length))
            return true;
        if (count >= 0 || errno == EFAULT)
            return false;
        if (errno == EINTR)
            continue;
        if (errno == EPERM || errno == ENOSYS || errno == EACCES) {
            g_vmReadRefused = true;
            return EMBReadMemoryThroughPipe(address, buffer, length);
        }
        return false;
    }
}

}

bool EMBReadMemoryThroughPipe(const void* address, void* buffer, std::size_t length)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    bool ok = true;
    auto* from = static_cast<const char*>(address);
    auto* to = static_cast<char*>(buffer);
    for (std::size_t done = 0; ok && done < length;) {
        std::size_t chunk = std::min(kPipeChunk, length - done);
        ssize_t written = write(ends[1], from + done, chunk);
        if (written < 0 && errno == EINTR)
            continue;
        ok = written > 0 && read(ends[0], to + done, std::size_t(written)) == written;
        done += ok ? std::size_t(written) : 0;
    }
    int savedErrno = errno;
    close(ends[0]);
    close(ends[1]);
    errno = savedErrno;
    return ok;
}

bool EMBReadMemory(const void* address, void* buffer, std::size_t length)
{
    if (reinterpret_cast<std::uintptr_t>(address) < kFirstValidAddress || buffer == nullptr)
        return false;
    if (length == 0)
        return true;
    if (g_vmReadRefused)
        return EMBReadMemoryThroughPipe(address, buffer, length);
    return readThroughVm(address, buffer, length);
}

bool EMBReadString(const char* address, const char** out, std::size_t maxLength)
{
    if (maxLength == 0) {
        if (out != nullptr)
            *out = address;
        return true;
    }
    if (reinterpret_cast<std::uintptr_t>(address) < kFirstValidAddress) {
        EMBSDKFileLog("%s: Error: address %p is not readable\n", __func__, static_cast<const void*>(address));
        return false;
    }
    // Page by page: a chunk that stays inside one page is readable whole or not at all.
    char chunk[256];
    for (std::size_t checked = 0; checked < maxLength;) {
        auto at = reinterpret_cast<std::uintptr_t>(address) + checked;
        std::size_t toPageEnd = kPageSize - at % kPageSize;
        std::size_t count = std::min({ sizeof chunk, toPageEnd, maxLength - checked });
        if (!EMBReadMemory(address + checked, chunk, count))
            return false;
        if (std::memchr(chunk, '\0', count) != nullptr)
            break;
        checked += count;
    }
    if (out != nullptr)
        *out = address;
    return true;
}

}
