#pragma once

#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/EMBStackFrame.h"

#include <cstdint>
#include <vector>

namespace platform::foundation {
class NamedException;
}

namespace kit {

struct EMBExceptionState;

/// Kinds of recorded exceptions. The first two end the process; the others are kept and the app goes on.
enum class EMBExceptionType : int { ObjectiveC = 1, Cpp = 2, Javascript = 3, Custom = 4 };

/// Starts "exception.embrecord" afresh and installs EMBTerminateHandler, keeping the handler before it.
bool EMBExceptionInitialize(EMBExceptionState* state);
/// Puts the previous terminate handler back: for tests and shutdown.
void EMBExceptionUninstall(EMBExceptionState* state);

/// The terminate handler: records the exception that ends the process (named platform exceptions as
/// "objective-c", every other as "c++" under its type's name), calls the handler installed before, and
/// aborts.
[[noreturn]] void EMBTerminateHandler();

/// Records a platform exception as type "objective-c", with the call stack it was made on.
void EMBExceptionRecordNSException(const platform::foundation::NamedException& exception);

/// Records an exception once the context is initialised. A fatal one (objective-c, c++) goes to
/// "exception.embrecord" on the calling thread, followed by the fault path's records; `deliver` then tells
/// the immediate-delivery target. Any other goes, without thread capture, to the custom-exception files.
void EMBExceptionRecord(EMBExceptionType type, const char* name, const char* reason,
    const std::vector<EMBStackFrame>& frames, bool deliver);

/// Writes one "exception" record.
bool EMBExceptionWrite(EMBFile* file, EMBExceptionType type, const char* name, const char* reason,
    const std::vector<EMBStackFrame>& frames);

/// Warns on the system log when the terminate handler in force is not EMBTerminateHandler.
void EMBExceptionCheckHandlers();

/// Throws the C++ test exception (the text "Ember C++ Test Exception").
[[noreturn]] void EMBExceptionRaiseTestCppException();
/// Throws the platform test exception "EmberTestException".
[[noreturn]] void EMBExceptionRaiseTestObjCException();

}
