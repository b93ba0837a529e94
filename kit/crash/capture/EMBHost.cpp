#include "kit/crash/capture/EMBHost.h"

#include "kit/core/CRNHost.h"
#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "platform/foundation/DeviceEnvironment.h"

#include <climits>
#include <cpuid.h>
#include <cstring>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace kit {
namespace {

// Reserved at start: read at crash time.
std::size_t g_pageSize { 0 };
char g_cachesPath[PATH_MAX] {};

}

void EMBHostInitialize(const std::string& cachesPath)
{
    g_pageSize = 0;
    g_pageSize = EMBHostGetPageSize();
    g_cachesPath[0] = '\0';
    if (cachesPath.size() < sizeof g_cachesPath)
        std::memcpy(g_cachesPath, cachesPath.c_str(), cachesPath.size() + 1);
}

std::size_t EMBHostGetPageSize()
{
    if (g_pageSize != 0)
        return g_pageSize;
    long size = sysconf(_SC_PAGESIZE);
    if (size <= 0) {
        EMBSDKFileLog("%s: sysconf failed while trying to get the page size\n", __func__);
        return 4096;
    }
    return std::size_t(size);
}

const char* EMBHostCachesPath()
{
    return g_cachesPath[0] != '\0' ? g_cachesPath : nullptr;
}

bool EMBHostCPUBrand(char* buffer, std::size_t size)
{
    unsigned int words[12] {};
    if (size < sizeof words + 1 || __get_cpuid_max(0x80000000, nullptr) < 0x80000004)
        return false;
    for (unsigned int leaf = 0; leaf < 3; ++leaf) {
        unsigned int* at = words + 4 * leaf;
        __get_cpuid(0x80000002 + leaf, &at[0], &at[1], &at[2], &at[3]);
    }
    std::memcpy(buffer, words, sizeof words);
    buffer[sizeof words] = '\0';
    // The brand string may be padded with spaces on either side.
    char* start = buffer;
    while (*start == ' ')
        ++start;
    std::memmove(buffer, start, std::strlen(start) + 1);
    for (std::size_t end = std::strlen(buffer); end > 0 && buffer[end - 1] == ' '; --end)
        buffer[end - 1] = '\0';
    return buffer[0] != '\0';
}

bool EMBHostWriteSysctlEntry(EMBFile* file, const char* key, const char* value)
{
    return EMBFileWriteHashEntryString(file, key, value != nullptr ? value : "(failed)");
}

bool EMBHostRecord(EMBFile* file)
{
    utsname names {};
    bool haveNames = uname(&names) == 0;
    if (!haveNames)
        EMBSDKFileLog("%s: uname failed while trying to get the machine\n", __func__);
    char cpu[128] {};
    bool haveCPU = EMBHostCPUBrand(cpu, sizeof cpu);
    auto build = CRNHostOSBuildVersion();
    bool ok = EMBFileWriteSectionStart(file, "host") && EMBFileWriteHashStart(file);
    ok = ok && EMBFileWriteHashEntryString(file, "model", CRNHostModelInfo().c_str());
    ok = ok && EMBHostWriteSysctlEntry(file, "machine", haveNames ? names.machine : nullptr);
    ok = ok && EMBHostWriteSysctlEntry(file, "cpu", haveCPU ? cpu : nullptr);
    ok = ok && EMBFileWriteHashEntryNSString(file, "os_build_version", build);
    ok = ok && EMBFileWriteHashEntryString(file, "os_display_version", CRNHostOSDisplayVersion().c_str());
    ok = ok && EMBFileWriteHashEntryString(file, "platform", "ios");
    ok = ok
        && EMBFileWriteHashEntryString(
            file, "locale", platform::foundation::DeviceEnvironment::localeIdentifier().c_str());
    return ok && EMBFileWriteHashEnd(file) && EMBFileWriteSectionEnd(file);
}

bool EMBHostWriteDiskUsage(EMBFile* file)
{
    bool ok = EMBFileWriteSectionStart(file, "storage") && EMBFileWriteHashStart(file);
    struct statvfs stats { };
    const char* path = EMBHostCachesPath();
    if (path != nullptr && statvfs(path, &stats) == 0) {
        ok = ok && EMBFileWriteHashEntryUint64(file, "free", std::uint64_t(stats.f_bavail) * stats.f_frsize);
        ok = ok && EMBFileWriteHashEntryUint64(file, "total", std::uint64_t(stats.f_blocks) * stats.f_frsize);
    } else {
        EMBSDKFileLog("%s: Unable to read the file system of %s\n", __func__, path);
    }
    return ok && EMBFileWriteHashEnd(file) && EMBFileWriteSectionEnd(file);
}

}
