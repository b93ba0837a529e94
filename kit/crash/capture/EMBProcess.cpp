#include "kit/crash/capture/EMBProcess.h"

#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "kit/crash/capture/EMBUnwindCursor.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kit {
namespace {

// What getdents64 fills in: one entry after the other, each reclen bytes long.
struct DirectoryEntry {
    std::uint64_t inode;
    std::int64_t offset;
    std::uint16_t length;
    std::uint8_t type;
    char name[1];
};

bool parseThreadId(const char* name, pid_t* tid)
{
    if (*name == '\0')
        return false;
    pid_t value = 0;
    for (; *name != '\0'; ++name) {
        if (*name < '0' || *name > '9')
            return false;
        value = value * 10 + (*name - '0');
    }
    *tid = value;
    return true;
}

bool listThreads(EMBProcess* process)
{
    int fd = open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    alignas(8) char buffer[4096];
    bool ok = true;
    for (;;) {
        long length = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (length <= 0) {
            ok = length == 0;
            break;
        }
        for (long at = 0; at < length;) {
            auto* entry = reinterpret_cast<const DirectoryEntry*>(buffer + at);
            at += entry->length;
            pid_t tid = 0;
            if (parseThreadId(entry->name, &tid) && process->threadCount < kEMBSuspensionMaxThreads)
                process->threads[process->threadCount++] = tid;
        }
    }
    close(fd);
    return ok && process->threadCount > 0;
}

// Writes one thread's registers and walk. `state` is none for a thread without registers.
bool recordThread(EMBFile* file, const EMBThreadState* state, bool crashed)
{
    bool ok = EMBFileWriteHashStart(file);
    if (state != nullptr) {
        ok = ok && EMBThreadStateWriteRegisters(file, state);
    } else {
        ok = ok && EMBFileWriteHashKey(file, "registers") && EMBFileWriteHashStart(file)
            && EMBFileWriteHashEnd(file);
    }
    ok = ok && EMBFileWriteHashKey(file, "stacktrace") && EMBFileWriteArrayStart(file);
    EMBUnwindCursor cursor;
    if (ok && state != nullptr && EMBUnwindCursorInit(&cursor, state)) {
        while (ok && EMBUnwindNextFrame(&cursor))
            ok = EMBFileWriteArrayEntryUint64(file, EMBUnwindCursorPC(&cursor));
    }
    ok = ok && EMBFileWriteArrayEnd(file);
    ok = ok && EMBFileWriteHashEntryBoolean(file, "crashed", crashed);
    return ok && EMBFileWriteHashEnd(file);
}

}

bool EMBProcessInit(EMBProcess* process, pid_t crashedThread, const ucontext_t* machineContext)
{
    if (process == nullptr)
        return false;
    process->pid = getpid();
    process->currentThread = pid_t(syscall(SYS_gettid));
    process->crashedThread = crashedThread;
    process->machineContext = machineContext;
    process->threadCount = 0;
    process->readAhead = false;
    process->statsRead = false;
    if (!listThreads(process)) {
        EMBSDKFileLog("%s: Error: unable to get task threads\n", __func__);
        process->threadCount = 0;
        return false;
    }
    return true;
}

void EMBProcessDestroy(EMBProcess*)
{
}

bool EMBProcessSuspendAllOtherThreads(EMBProcess* process)
{
    std::uint32_t others = 0;
    for (std::uint32_t i = 0; i < process->threadCount; ++i)
        others += process->threads[i] != process->currentThread ? 1 : 0;
    std::uint32_t stopped
        = EMBThreadSuspensionStop(process->threads, process->threadCount, process->currentThread);
    if (stopped < others) {
        EMBSDKFileLog("%s: Error: %u of %u threads did not stop\n", __func__, others - stopped, others);
        return false;
    }
    return true;
}

void EMBProcessRequestSuspensionOfOtherThreads(EMBProcess* process)
{
    EMBThreadSuspensionRequest(process->threads, process->threadCount, process->currentThread);
}

void EMBProcessResumeAllOtherThreads(EMBProcess*)
{
    EMBThreadSuspensionResume();
}

bool EMBProcessGetThreadState(const EMBProcess* process, std::uint32_t index, EMBThreadState* state)
{
    if (process == nullptr || state == nullptr || index >= process->threadCount) {
        EMBSDKFileLog("%s: invalid context supplied\n", __func__);
        return false;
    }
    pid_t thread = process->threads[index];
    if (thread == process->crashedThread && process->machineContext != nullptr) {
        EMBThreadStateFromUContext(process->machineContext, state);
        return true;
    }
    if (thread == process->currentThread)
        return false;
    if (!EMBThreadSuspensionGetState(index, state)) {
        EMBSDKFileLog("%s: failed to get thread state\n", __func__);
        return false;
    }
    return true;
}

bool EMBProcessRecordAllThreads(const EMBProcess* process, EMBFile* file)
{
    // The current thread without a signal's context is recorded from here: this frame stays alive while
    // its stack is walked.
    ucontext_t here;
    EMBThreadState current;
    bool haveCurrent = false;
    bool currentHasContext
        = process->machineContext != nullptr && process->crashedThread == process->currentThread;
    if (!currentHasContext && getcontext(&here) == 0) {
        EMBSDKFileLog("%s: Faking current thread\n", __func__);
        EMBThreadStateFromUContext(&here, &current);
        haveCurrent = true;
    }
    // Hundreds of values: gathered on the stack and written out thread by thread, unless the caller lent
    // the writer a buffer for the whole fault path.
    char buffer[EMBFile::kBufferSize];
    bool lent = EMBFileLendBuffer(file, buffer);
    bool ok = EMBFileWriteSectionStart(file, "threads") && EMBFileWriteArrayStart(file);
    for (std::uint32_t i = 0; ok && i < process->threadCount; ++i) {
        EMBSDKFileLog("%s: recording thread %d data\n", __func__, int(i));
        EMBThreadState state;
        const EMBThreadState* registers = nullptr;
        if (EMBProcessGetThreadState(process, i, &state))
            registers = &state;
        else if (process->threads[i] == process->currentThread && haveCurrent)
            registers = &current;
        else
            EMBSDKFileLog("%s: unable to get thread state\n", __func__);
        ok = recordThread(file, registers, process->threads[i] == process->crashedThread);
        if (lent)
            ok = EMBFileFlushLentBuffer(file) && ok;
    }
    // Closed whatever happened above, so that the record reads as what was written.
    bool closed = EMBFileWriteArrayEnd(file) && EMBFileWriteSectionEnd(file);
    if (lent)
        closed = EMBFileReturnBuffer(file) && closed;
    EMBSDKFileLog("%s: completed recording all thread data\n", __func__);
    return ok && closed;
}

}
