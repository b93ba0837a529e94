#pragma once

#include "kit/crash/capture/EMBThreadSuspension.h"

#include <cstddef>
#include <cstdint>
#include <sys/types.h>
#include <ucontext.h>

namespace kit {

struct EMBFile;

/// Room for a thread's name as /proc/self/task/<tid>/comm gives it.
inline constexpr std::size_t kEMBThreadNameSize { 64 };

/// The figures of the "process_stats" record: the system's memory in bytes, this process's virtual and
/// resident size in bytes and its user and system time in microseconds.
struct EMBProcessStats {
    std::uint64_t active { 0 };
    std::uint64_t inactive { 0 };
    std::uint64_t wired { 0 };
    std::uint64_t free { 0 };
    std::uint64_t virtualSize { 0 };
    std::uint64_t residentSize { 0 };
    std::uint64_t userTime { 0 };
    std::uint64_t systemTime { 0 };
};

/// The crashing process as the fault path works on it. Lives on the fault path's stack.
///
/// The fault path, on the crashing thread:
///     EMBProcess process;
///     EMBProcessInit(&process, crashedThread, signalContext);   // the thread list
///     EMBProcessRequestSuspensionOfOtherThreads(&process);      // returns before they answer
///     EMBProcessReadAhead(&process);                             // names and stats, while they answer
///     EMBProcessRecordAllThreads(&process, &file);              // "threads", each as soon as it stopped
///     ... the other records of the fault path (EMBProcessRecords.h, EMBHostWriteDiskUsage) ...
///     EMBProcessResumeAllOtherThreads(&process);
/// Outside the fault path, EMBProcessSuspendAllOtherThreads stops them all before anything else.
/// Every call allocates nothing and takes no lock. Each value is a write of its own to an unbuffered writer:
/// lend it a stack buffer for the whole path (EMBFileLendBuffer) to make a few hundred system calls a few.
struct EMBProcess {
    pid_t pid { 0 };
    /// The thread running the fault path.
    pid_t currentThread { 0 };
    /// The thread that faulted or threw.
    pid_t crashedThread { 0 };
    /// The task's threads, in /proc/self/task's order.
    pid_t threads[kEMBSuspensionMaxThreads] {};
    std::uint32_t threadCount { 0 };
    /// The machine context of the crashed thread's signal; none outside a signal handler.
    const ucontext_t* machineContext { nullptr };
    /// Set by EMBProcessReadAhead: the records after "threads" write what it read rather than reading again.
    bool readAhead { false };
    /// Each listed thread's name, in order, read ahead ("" when it could not be read).
    char threadNames[kEMBSuspensionMaxThreads][kEMBThreadNameSize] {};
    /// Whether the "process_stats" figures could be read ahead, and what they were.
    bool statsRead { false };
    EMBProcessStats stats {};
};

/// Fills `process` for a crash of `crashedThread` (a kernel thread id) with the signal's `machineContext`
/// (or none) and lists the task's threads ("%s: Error: unable to get task threads" in the SDK log and none
/// listed when that fails). The calling thread is the current one.
bool EMBProcessInit(EMBProcess* process, pid_t crashedThread, const ucontext_t* machineContext);
/// Nothing to release: kept so that every init has its end.
void EMBProcessDestroy(EMBProcess* process);

/// Stops every listed thread but the current one (EMBThreadSuspensionStop) and waits for all of them; true
/// when all of them stopped.
bool EMBProcessSuspendAllOtherThreads(EMBProcess* process);
/// Asks every listed thread but the current one to stop (EMBThreadSuspensionRequest) and returns at once:
/// EMBProcessGetThreadState, and so EMBProcessRecordAllThreads, waits for each thread's own answer.
void EMBProcessRequestSuspensionOfOtherThreads(EMBProcess* process);
/// Lets the stopped threads go on.
void EMBProcessResumeAllOtherThreads(EMBProcess* process);

/// The registers of `process->threads[index]`: the crashed thread's from its signal's machine context, a
/// stopped thread's from where it stopped (waiting for its answer if it has not answered yet). False for the
/// current thread without a machine context (the thread records capture it where they run) and for a thread
/// that did not stop.
bool EMBProcessGetThreadState(const EMBProcess* process, std::uint32_t index, EMBThreadState* state);

/// Writes the "threads" record: per listed thread, in order, its "registers", its "stacktrace" (the PC
/// where it stopped, then return addresses, innermost first, at most 512) and "crashed". A thread without
/// registers is written with an empty "registers" object and an empty "stacktrace"; the array and the
/// record are always closed. False when the record could not be written whole.
bool EMBProcessRecordAllThreads(const EMBProcess* process, EMBFile* file);

}
