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
/// handler installed before, if any. Safe at crash time; set-up calls it early so that it is in place.
bool EMBThreadSuspensionInstall();

/// Stops every thread of `threads` (`count` of them; at most 512 are looked at) except `skip`: each gets the
/// stopping signal by tgkill, and its handler copies its registers into a slot reserved for it and waits on a
/// futex until resumed. Waits at most kEMBSuspensionAnswerTimeoutNanoseconds in all; a thread that has not
/// answered by then stays running and has no registers. Answers how many threads stopped. No heap, no lock:
/// safe in a signal handler. One capture at a time.
std::uint32_t EMBThreadSuspensionStop(const pid_t* threads, std::uint32_t count, pid_t skip);

/// The registers of `threads[index]` of the last EMBThreadSuspensionStop, where it stopped; false when it
/// did not stop.
bool EMBThreadSuspensionGetState(std::uint32_t index, EMBThreadState* state);

/// Lets every stopped thread go on, without waiting for them to run.
void EMBThreadSuspensionResume();

}
