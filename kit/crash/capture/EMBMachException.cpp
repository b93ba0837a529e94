#include "kit/crash/capture/EMBMachException.h"

#include <csignal>

namespace kit {

std::uint32_t EMBMachExceptionMaskForSignal(int signal)
{
    switch (signal) {
    case SIGILL:
        return kEMBExceptionMaskBadInstruction;
    case SIGTRAP:
        return kEMBExceptionMaskBreakpoint;
    case SIGABRT:
    case SIGSYS:
        return kEMBExceptionMaskCrash;
    case SIGFPE:
        return kEMBExceptionMaskArithmetic;
    case SIGBUS:
    case SIGSEGV:
        return kEMBExceptionMaskBadAccess;
    default:
        return 0;
    }
}

}
