#pragma once

#include "kit/crash/capture/EMBFile.h"

#include <functional>
#include <sys/types.h>
#include <ucontext.h>

namespace kit {

/// The common fault path, after a capture path has written its own record into `file`: the process's
/// threads and state go into the same file, then the crash callback target (if any) is called on this
/// thread. `crashedThread` is the faulting thread's id; `signalContext` its machine context when a signal
/// gave one, else none. Allocates nothing and takes no lock.
void EMBHandler(EMBFile* file, pid_t crashedThread, const ucontext_t* signalContext);

/// Tells the immediate-delivery target (if any) that a report may be ready to send.
void EMBHandlerAttemptImmediateDelivery();

/// Resolves the code address `address` through the dynamic loader and calls `block` with the symbol's name
/// and the image's path, either "unknown" when the loader knows none; both null when the address lies in
/// no image.
void EMBLookupFunctionPointer(
    const void* address, const std::function<void(const char* symbol, const char* image)>& block);

}
