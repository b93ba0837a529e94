#include "kit/crash/capture/EMBProcessRecords.h"

#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBHost.h"
#include "kit/crash/capture/EMBProcess.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "kit/crash/capture/EMBSafeRead.h"
#include "platform/foundation/QueueLabels.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace kit {
namespace {

// Reads the whole (small) file at `path` into `buffer` as text; false when it cannot be read.
bool readSmallFile(const char* path, char* buffer, std::size_t size)
{
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::size_t length = 0;
    for (;;) {
        ssize_t count = read(fd, buffer + length, size - 1 - length);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        length += std::size_t(count);
        if (length == size - 1)
            break;
    }
    close(fd);
    buffer[length] = '\0';
    return length > 0;
}

// The number after `key` at the start of a line of `text`; false when there is none.
bool numberAfter(const char* text, const char* key, std::uint64_t* value)
{
    std::size_t keyLength = std::strlen(key);
    for (const char* line = text; line != nullptr && *line != '\0';) {
        if (std::strncmp(line, key, keyLength) == 0) {
            const char* at = line + keyLength;
            while (*at == ' ' || *at == '\t')
                ++at;
            if (*at < '0' || *at > '9')
                return false;
            std::uint64_t number = 0;
            for (; *at >= '0' && *at <= '9'; ++at)
                number = number * 10 + std::uint64_t(*at - '0');
            *value = number;
            return true;
        }
        line = std::strchr(line, '\n');
        line = line != nullptr ? line + 1 : nullptr;
    }
    return false;
}

// "/proc/self/task/<tid>/comm" into `buffer`.
void taskFilePath(pid_t tid, const char* file, char* buffer, std::size_t size)
{
    char digits[16];
    std::size_t count = 0;
    for (auto value = std::uint32_t(tid); count == 0 || value != 0; value /= 10)
        digits[count++] = char('0' + value % 10);
    std::size_t length = 0;
    auto append = [&](const char* text) {
        for (; *text != '\0' && length + 1 < size; ++text)
            buffer[length++] = *text;
    };
    append("/proc/self/task/");
    while (count > 0 && length + 1 < size)
        buffer[length++] = digits[--count];
    append("/");
    append(file);
    buffer[length] = '\0';
}

std::uint64_t microseconds(const timeval& time)
{
    return std::uint64_t(time.tv_sec) * 1'000'000 + std::uint64_t(time.tv_usec);
}

// Thread `tid`'s name, without the line feed, into `name` (kEMBThreadNameSize bytes); "" when it cannot be
// read.
void readThreadName(pid_t tid, char* name)
{
    char path[64];
    taskFilePath(tid, "comm", path, sizeof path);
    if (!readSmallFile(path, name, kEMBThreadNameSize)) {
        name[0] = '\0';
        return;
    }
    std::size_t length = std::strlen(name);
    if (length > 0 && name[length - 1] == '\n')
        name[length - 1] = '\0';
}

// The "process_stats" figures; false, with an SDK log line, when either half cannot be read.
bool readStats(const EMBProcess* process, EMBProcessStats* stats)
{
    if (!EMBProcessGetMemoryUsage(&stats->active, &stats->inactive, &stats->wired, &stats->free)) {
        EMBSDKFileLog("%s: Unable to get process memory usage\n", "EMBProcessRecordStats");
        return false;
    }
    if (!EMBProcessGetInfo(process, &stats->virtualSize, &stats->residentSize, &stats->userTime,
            &stats->systemTime)) {
        EMBSDKFileLog("%s: Unable to get process stats\n", "EMBProcessRecordStats");
        return false;
    }
    return true;
}

}

bool EMBProcessDebuggerAttached()
{
    char status[4096];
    std::uint64_t tracer = 0;
    if (!readSmallFile("/proc/self/status", status, sizeof status)
        || !numberAfter(status, "TracerPid:", &tracer)) {
        EMBSDKFileLog("%s: unable to read the process status while looking for a debugger\n", __func__);
        return false;
    }
    return tracer != 0;
}

void EMBProcessReadAhead(EMBProcess* process)
{
    for (std::uint32_t i = 0; i < process->threadCount; ++i)
        readThreadName(process->threads[i], process->threadNames[i]);
    process->statsRead = readStats(process, &process->stats);
    process->readAhead = true;
}

bool EMBProcessRecordThreadNames(const EMBProcess* process, EMBFile* file)
{
    bool ok = EMBFileWriteSectionStart(file, "thread_names") && EMBFileWriteArrayStart(file);
    for (std::uint32_t i = 0; ok && i < process->threadCount; ++i) {
        char name[kEMBThreadNameSize];
        const char* written = process->threadNames[i];
        if (!process->readAhead) {
            readThreadName(process->threads[i], name);
            written = name;
        }
        ok = EMBFileWriteArrayEntryString(file, written);
    }
    return EMBFileWriteArrayEnd(file) && EMBFileWriteSectionEnd(file) && ok;
}

bool EMBProcessRecordDispatchQueueNames(const EMBProcess* process, EMBFile* file)
{
    bool ok = EMBFileWriteSectionStart(file, "dispatch_queue_names") && EMBFileWriteArrayStart(file);
    for (std::uint32_t i = 0; ok && i < process->threadCount; ++i) {
        const char* label = platform::foundation::QueueLabels::labelOfThread(process->threads[i]);
        const char* readable = nullptr;
        if (label == nullptr || !EMBReadString(label, &readable, 128))
            readable = "";
        ok = EMBFileWriteArrayEntryString(file, readable);
    }
    return EMBFileWriteArrayEnd(file) && EMBFileWriteSectionEnd(file) && ok;
}

bool EMBProcessGetMemoryUsage(
    std::uint64_t* active, std::uint64_t* inactive, std::uint64_t* wired, std::uint64_t* free)
{
    if (active == nullptr || inactive == nullptr || wired == nullptr || free == nullptr) {
        EMBSDKFileLog("%s: Invalid pointers\n", __func__);
        return false;
    }
    char meminfo[8192];
    std::uint64_t kilobytes[4] {};
    if (!readSmallFile("/proc/meminfo", meminfo, sizeof meminfo)
        || !numberAfter(meminfo, "Active:", &kilobytes[0])
        || !numberAfter(meminfo, "Inactive:", &kilobytes[1])
        || !numberAfter(meminfo, "Unevictable:", &kilobytes[2])
        || !numberAfter(meminfo, "MemFree:", &kilobytes[3])) {
        EMBSDKFileLog("%s: Failed to get vm statistics\n", __func__);
        return false;
    }
    *active = kilobytes[0] * 1024;
    *inactive = kilobytes[1] * 1024;
    *wired = kilobytes[2] * 1024;
    *free = kilobytes[3] * 1024;
    return true;
}

bool EMBProcessGetInfo(const EMBProcess*, std::uint64_t* virtualSize, std::uint64_t* residentSize,
    std::uint64_t* userTime, std::uint64_t* systemTime)
{
    if (virtualSize == nullptr || residentSize == nullptr || userTime == nullptr || systemTime == nullptr) {
        EMBSDKFileLog("%s: Invalid pointers\n", __func__);
        return false;
    }
    char statm[256];
    std::uint64_t pages[2] {};
    const char* at = statm;
    bool ok = readSmallFile("/proc/self/statm", statm, sizeof statm);
    for (int i = 0; ok && i < 2; ++i) {
        if (*at < '0' || *at > '9')
            ok = false;
        for (; *at >= '0' && *at <= '9'; ++at)
            pages[i] = pages[i] * 10 + std::uint64_t(*at - '0');
        while (*at == ' ')
            ++at;
    }
    rusage usage {};
    if (!ok || getrusage(RUSAGE_SELF, &usage) != 0) {
        EMBSDKFileLog("%s: Failed to get task info\n", __func__);
        return false;
    }
    std::uint64_t page = EMBHostGetPageSize();
    *virtualSize = pages[0] * page;
    *residentSize = pages[1] * page;
    *userTime = microseconds(usage.ru_utime);
    *systemTime = microseconds(usage.ru_stime);
    return true;
}

bool EMBProcessRecordStats(const EMBProcess* process, EMBFile* file)
{
    EMBProcessStats stats = process->stats;
    if (process->readAhead ? !process->statsRead : !readStats(process, &stats))
        return false;
    bool ok = EMBFileWriteSectionStart(file, "process_stats") && EMBFileWriteHashStart(file);
    ok = ok && EMBFileWriteHashEntryUint64(file, "active", stats.active);
    ok = ok && EMBFileWriteHashEntryUint64(file, "inactive", stats.inactive);
    ok = ok && EMBFileWriteHashEntryUint64(file, "wired", stats.wired);
    ok = ok && EMBFileWriteHashEntryUint64(file, "freeMem", stats.free);
    ok = ok && EMBFileWriteHashEntryUint64(file, "free_mem", stats.free);
    ok = ok && EMBFileWriteHashEntryUint64(file, "virtual", stats.virtualSize);
    ok = ok && EMBFileWriteHashEntryUint64(file, "resident", stats.residentSize);
    ok = ok && EMBFileWriteHashEntryUint64(file, "user_time", stats.userTime);
    ok = ok && EMBFileWriteHashEntryUint64(file, "sys_time", stats.systemTime);
    return ok && EMBFileWriteHashEnd(file) && EMBFileWriteSectionEnd(file);
}

bool EMBProcessRecordRuntimeInfo(const EMBProcess*, EMBFile* file)
{
    bool ok = EMBFileWriteSectionStart(file, "runtime") && EMBFileWriteHashStart(file);
    ok = ok && EMBFileWriteHashEntryString(file, "objc_selector", "");
    ok = ok && EMBFileWriteHashKey(file, "crash_info_entries") && EMBFileWriteArrayStart(file)
        && EMBFileWriteArrayEnd(file);
    return ok && EMBFileWriteHashEnd(file) && EMBFileWriteSectionEnd(file);
}

}
