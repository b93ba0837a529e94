#pragma once

#include "kit/crash/capture/EMBThreadSuspension.h"

#include <cstdint>
#include <sys/types.h>
#include <ucontext.h>

namespace kit {

struct EMBFile;

/// The crashing process as the fault path works on it. Lives on the fault path's stack.
///
/// The fault path, on the crashing thread:
///     EMBProcess process;
///     EMBProcessInit(&process, crashedThread, signalContext);   // the thread list
///     EMBProcessSuspendAllOtherThreads(&process);
///     EMBProcessRecordAllThreads(&process, &file);              // "threads"
///     ... the other records of the fault path ...
///     EMBProcessResumeAllOtherThreads(&process);
/// Every call allocates nothing and takes no lock.
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
};

/// Fills `process` for a crash of `crashedThread` (a kernel thread id) with the signal's `machineContext`
/// (or none) and lists the task's threads ("%s: Error: unable to get task threads" in the SDK log and none
/// listed when that fails). The calling thread is the current one.
bool EMBProcessInit(EMBProcess* process, pid_t crashedThread, const ucontext_t* machineContext);
/// Nothing to release: kept so that every init has its end.
void EMBProcessDestroy(EMBProcess* process);

/// Stops every listed thread but the current one (EMBThreadSuspensionStop); true when all of them stopped.
bool EMBProcessSuspendAllOtherThreads(EMBProcess* process);
/// Lets the stopped threads go on.
void EMBProcessResumeAllOtherThreads(EMBProcess* process);

/// The registers of `process->threads[index]`: the crashed thread's from its signal's machine context, a
/// stopped thread's from where it stopped. False for the current thread without a machine context (the
/// thread records capture it where they run) and for a thread that did not stop.
bool EMBProcessGetThreadState(const EMBProcess* process, std::uint32_t index, EMBThreadState* state);

/// Writes the "threads" record: per listed thread, in order, its "registers", its "stacktrace" (the PC
/// where it stopped, then return addresses, innermost first, at most 512) and "crashed". A thread without
/// registers is written with an empty "registers" object and an empty "stacktrace"; the array and the
/// record are always closed. False when the record could not be written whole.
bool EMBProcessRecordAllThreads(const EMBProcess* process, EMBFile* file);

}
