#include "kit/crash/capture/EMBSignal.h"

#include "kit/crash/capture/EMBCaptureUtilities.h"
#include "kit/crash/capture/EMBContext.h"
#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBHandler.h"
#include "kit/crash/capture/EMBSDKLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kit {
namespace {

// How long a thread that faults while another writes the report waits for it.
constexpr int kWaitForReportMilliseconds { 10000 };

void setDefault(int number)
{
    struct sigaction action { };
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    if (sigaction(number, &action, nullptr) != 0)
        EMBSDKFileLog("%s: Unable to set default handler for %d (%s)\n", "EMBSignalSafeRemoveHandlers", number,
            strerrordesc_np(errno));
}

// A fault the hardware raised recurs when the handler returns; one that was sent, a breakpoint (the
// instruction pointer is already past it) and a refused system call do not, so they are raised again.
void finishFault(int number, const siginfo_t* info)
{
    if (info == nullptr || info->si_code <= 0 || number == SIGTRAP || number == SIGSYS)
        syscall(SYS_tgkill, getpid(), gettid(), number);
}

void waitForReport(const EMBWritableContext& writable)
{
    timespec pause { 0, 1000000 };
    for (int waited = 0; waited < kWaitForReportMilliseconds; ++waited) {
        if (writable.reportFinished.load(std::memory_order_seq_cst))
            return;
        nanosleep(&pause, nullptr);
    }
    EMBSDKFileLog("%s: Error: the crash report was not finished in time\n", "EMBSignalHandler");
    EMBSignalSafeRemoveHandlers();
}

void writeSignalRecord(EMBFile* file, int number, const siginfo_t* info, int savedErrno)
{
    EMBFileWriteSectionStart(file, "signal");
    EMBFileWriteHashStart(file);
    if (info != nullptr) {
        const char* name = nullptr;
        const char* codeName = nullptr;
        EMBSignalNameLookup(number, info->si_code, &name, &codeName);
        EMBFileWriteHashEntryUint64(file, "number", std::uint64_t(number));
        // Codes of sent signals are negative here (SI_USER is 0, SI_TKILL -6).
        EMBFileWriteHashEntryInt64(file, "code", info->si_code);
        EMBFileWriteHashEntryUint64(file, "address", reinterpret_cast<std::uintptr_t>(info->si_addr));
        EMBFileWriteHashEntryString(file, "name", name);
        EMBFileWriteHashEntryString(file, "code_name", codeName);
    }
    EMBFileWriteHashEntryInt64(file, "errno", savedErrno);
    EMBFileWriteHashEntryUint64(file, "time", std::uint64_t(time(nullptr)));
    EMBFileWriteHashEnd(file);
    EMBFileWriteSectionEnd(file);
}

}

bool EMBSignalInitialize(EMBSignalState* state)
{
    if (state == nullptr)
        return false;
    if (!EMBUnlinkIfExists(state->path))
        EMBSDKFileLog("%s: Unable to reset the signal log file %s\n", __func__, strerrordesc_np(errno));
    bool installed = true;
    for (std::size_t index = 0; index < kEMBFatalSignalCount; ++index) {
        int number = kEMBFatalSignals[index];
        struct sigaction action { };
        action.sa_sigaction = EMBSignalHandler;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        struct sigaction previous { };
        if (sigaction(number, &action, &previous) != 0) {
            EMBSDKFileLog("%s: Unable to install handler for %d (%s)\n", __func__, number, strerrordesc_np(errno));
            installed = false;
            continue;
        }
        bool hadHandler = (previous.sa_flags & SA_SIGINFO) != 0 ? previous.sa_sigaction != nullptr
                                                                : previous.sa_handler != SIG_DFL;
        if (hadHandler && previous.sa_sigaction != EMBSignalHandler) {
            state->previousActions[index] = previous;
            state->hasPreviousAction[index] = true;
        }
    }
    state->installed = true;
    // A loaded LLVM would print its own stack trace on these signals: ask it not to.
    if (auto* disable = static_cast<volatile char*>(dlsym(RTLD_DEFAULT, "_ZN4llvm23DisablePrettyStackTraceE")))
        *disable = 1;
    return installed;
}

void EMBSignalUninstall(EMBSignalState* state)
{
    if (state != nullptr && state->installed)
        EMBSignalSafeInstallPreexistingHandlers(state);
}

void EMBSignalHandler(int number, siginfo_t* info, void* machineContext)
{
    int savedErrno = errno;
    errno = 0;
    EMBSDKFileLog("%s: Signal: %d\n", __func__, number);
    sigset_t none;
    sigemptyset(&none);
    if (sigprocmask(SIG_SETMASK, &none, nullptr) != 0)
        EMBSDKFileLog("%s: Unable to unmask signals - we risk infinite recursion here\n", __func__);

    EMBContext& context = EMBCurrentContext();
    EMBReadOnlyContext* readOnly = context.readOnly.load(std::memory_order_seq_cst);
    if (readOnly == nullptr) {
        EMBSignalSafeRemoveHandlers();
        errno = savedErrno;
        finishFault(number, info);
        return;
    }
    if (EMBContextMarkAndCheckIfCrashed()) {
        if (context.writable->crashingThread.load(std::memory_order_seq_cst) == gettid()) {
            // The fault path itself faulted: what it wrote stays, the fault goes to the default action.
            EMBSDKFileLog("%s: Error: aborting signal handler because crash has already occurred\n", __func__);
            EMBSignalSafeRemoveHandlers();
        } else {
            EMBSDKFileLog("%s: Another thread is recording a crash; waiting for it\n", __func__);
            waitForReport(*context.writable);
        }
        errno = savedErrno;
        finishFault(number, info);
        return;
    }

    EMBFile file;
    if (EMBFileInitWithPath(&file, readOnly->signal.path, false)) {
        writeSignalRecord(&file, number, info, savedErrno);
        EMBHandler(&file, gettid(), static_cast<const ucontext_t*>(machineContext));
        EMBFileClose(&file);
    } else {
        EMBSDKFileLog("%s: Unable to open signal file\n", __func__);
    }
    EMBSignalSafeInstallPreexistingHandlers(&readOnly->signal);
    context.writable->reportFinished.store(1, std::memory_order_seq_cst);
    errno = savedErrno;
    finishFault(number, info);
}

bool EMBSignalSafeRemoveHandlers()
{
    for (int number : kEMBFatalSignals)
        setDefault(number);
    return true;
}

bool EMBSignalSafeInstallPreexistingHandlers(const EMBSignalState* state)
{
    EMBSignalSafeRemoveHandlers();
    bool installed = true;
    for (std::size_t index = 0; index < kEMBFatalSignalCount; ++index) {
        if (!state->hasPreviousAction[index])
            continue;
        if (sigaction(kEMBFatalSignals[index], &state->previousActions[index], nullptr) != 0) {
            EMBSDKFileLog("%s: Unable to install handler for %d (%s)\n", __func__, kEMBFatalSignals[index],
                strerrordesc_np(errno));
            installed = false;
        }
    }
    return installed;
}

void EMBSignalNameLookup(int number, int, const char** name, const char** codeName)
{
    switch (number) {
    case SIGILL:
        *name = "SIGILL";
        break;
    case SIGTRAP:
        *name = "SIGTRAP";
        break;
    case SIGABRT:
        *name = "SIGABRT";
        break;
    case SIGFPE:
        *name = "SIGFPE";
        break;
    case SIGBUS:
        *name = "SIGBUS";
        break;
    case SIGSEGV:
        *name = "SIGSEGV";
        break;
    case SIGSYS:
        *name = "SIGSYS";
        break;
    default:
        *name = "UNKNOWN";
        break;
    }
    *codeName = number == SIGABRT ? "ABORT" : nullptr;
}

void EMBSignalCheckHandlers()
{
    for (int number : kEMBFatalSignals) {
        struct sigaction action { };
        if (sigaction(number, nullptr, &action) != 0) {
            std::fputs("Unable to read signal handler\n", stderr);
            continue;
        }
        if ((action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == EMBSignalHandler)
            continue;
        const char* name = nullptr;
        const char* codeName = nullptr;
        EMBSignalNameLookup(number, 0, &name, &codeName);
        const void* handler = (action.sa_flags & SA_SIGINFO) != 0
            ? reinterpret_cast<const void*>(action.sa_sigaction)
            : reinterpret_cast<const void*>(action.sa_handler);
        EMBLookupFunctionPointer(handler, [name](const char* symbol, const char*) {
            std::fprintf(stderr, "[Ember] The signal %s has a non-Ember handler (%s).  This will interfer with "
                                 "reporting.\n",
                name, symbol != nullptr ? symbol : "(null)");
        });
    }
}

}
