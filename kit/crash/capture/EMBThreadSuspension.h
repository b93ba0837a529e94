#pragma once

#include "kit/crash/capture/EMBThreadState.h"

#include <cstdint>
#include <sys/types.h>

namespace kit {

/// Most threads one capture stops.
inline constexpr std::uint32_t kEMBSuspensionMaxThreads { 512 };

/// How long a capture waits, in all, for the threads it stops to answer.
inline constexpr std::int64_t kEMBSuspensionAnswerTimeoutNanoseconds { 250'000'000 };

/// The real-time signal by which a capture stops the other threads of the process. A debugger should pass it
/// on without stopping; a thread that blocks it is listed without registers.
int EMBThreadSuspensionSignal();

/// Installs the stopping signal's handler, once; it stays for the life of the process (a late answer must
/// never meet the default action, which ends the process). A signal the capture did not send goes to the
/// handler installed before, if any. Safe at crash time; set-up calls it early so that it is in place and the
/// slots are in memory before a crash.
bool EMBThreadSuspensionInstall();

/// Asks every thread of `threads` (`count` of them; at most 512 are looked at) except `skip` to stop, and
/// returns without waiting for the answers: each gets the stopping signal by tgkill, and its handler copies
/// its registers into a slot reserved for it and waits on a futex until resumed. Starts one limit,
/// kEMBSuspensionAnswerTimeoutNanoseconds, for all the answers together; a thread that has not answered by
/// then stays running and has no registers. Until EMBThreadSuspensionResume each thread asked, and the
/// calling one, runs with the kernel's shortest time slice, so that a busy machine runs it as soon as it is
/// woken rather than after the running threads' slices; each takes its own slice back as it goes on.
/// No heap, no lock: safe in a signal handler. One capture at a time.
void EMBThreadSuspensionRequest(const pid_t* threads, std::uint32_t count, pid_t skip);

/// Waits for every answer to the last EMBThreadSuspensionRequest, until its limit at most, waking once, at
/// the last answer. Answers how many threads stopped.
std::uint32_t EMBThreadSuspensionAwaitAll();

/// EMBThreadSuspensionRequest, then EMBThreadSuspensionAwaitAll: answers how many threads stopped.
std::uint32_t EMBThreadSuspensionStop(const pid_t* threads, std::uint32_t count, pid_t skip);

/// The registers of `threads[index]` of the last request, where it stopped; false when it did not stop.
/// When it was asked and has not answered yet, first waits for that one answer (until the request's limit),
/// so that a capture can walk each thread as soon as it stops rather than after all have.
bool EMBThreadSuspensionGetState(std::uint32_t index, EMBThreadState* state);

/// Takes back the requests not answered yet, lets every stopped thread go on, without waiting for them to
/// run, and gives the calling thread its own time slice back.
void EMBThreadSuspensionResume();

}
