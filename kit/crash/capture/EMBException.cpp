#include "kit/crash/capture/EMBException.h"

#include "kit/crash/EMBUserLogging.h"

#include "kit/crash/capture/EMBCaptureUtilities.h"
#include "kit/crash/capture/EMBContext.h"
#include "kit/crash/capture/EMBDemangle.h"
#include "kit/crash/capture/EMBHandler.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Log.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cxxabi.h>
#include <exception>
#include <mutex>
#include <string>
#include <unistd.h>

namespace kit {
namespace {

const char* typeName(EMBExceptionType type)
{
    switch (type) {
    case EMBExceptionType::ObjectiveC:
        return "objective-c";
    case EMBExceptionType::Cpp:
        return "c++";
    case EMBExceptionType::Javascript:
        return "javascript";
    case EMBExceptionType::Custom:
        return "custom";
    }
    return "unknown";
}

bool isFatal(EMBExceptionType type)
{
    return type == EMBExceptionType::ObjectiveC || type == EMBExceptionType::Cpp;
}

// Fatal records are written one at a time, each on the thread that ends the process.
std::mutex& fatalRecordMutex()
{
    static auto* mutex = new std::mutex;
    return *mutex;
}

void recordCpp(const std::string& name, const char* reason)
{
    EMBExceptionRecord(EMBExceptionType::Cpp, name.c_str(), reason, {}, true);
}

// Rethrows the exception that ends the process to learn what it is.
void recordCurrentException()
{
    std::type_info* type = abi::__cxa_current_exception_type();
    std::exception_ptr current = std::current_exception();
    if (type == nullptr || !current) {
        EMBSDKFileLog("%s: no active exception\n", "EMBTerminateHandler");
        return;
    }
    EMBSDKFileLog("%s: Recording exception of type '%s'\n", "EMBTerminateHandler", type->name());
    std::string name = EMBDemangleTypeName(type->name());
    try {
        std::rethrow_exception(current);
    } catch (const platform::foundation::NamedException& exception) {
        EMBExceptionRecordNSException(exception);
    } catch (const char* text) {
        recordCpp(name, text);
    } catch (const std::string& text) {
        recordCpp(name, text.c_str());
    } catch (const std::exception& exception) {
        recordCpp(name, exception.what());
    } catch (const std::exception* exception) {
        recordCpp(name, exception != nullptr ? exception->what() : "");
    } catch (...) {
        recordCpp(name, "");
    }
}

}

bool EMBExceptionInitialize(EMBExceptionState* state)
{
    if (state == nullptr)
        return false;
    if (!EMBUnlinkIfExists(state->path))
        EMBSDKFileLog("%s: Unable to reset the exception file %s\n", __func__, strerrordesc_np(errno));
    state->previousHandler = std::set_terminate(EMBTerminateHandler);
    return true;
}

void EMBExceptionUninstall(EMBExceptionState* state)
{
    if (state != nullptr && std::get_terminate() == EMBTerminateHandler)
        std::set_terminate(state->previousHandler);
}

void EMBTerminateHandler()
{
    EMBSDKFileLog("%s: C++ terminate handler invoked\n", __func__);
    EMBReadOnlyContext* context = EMBCurrentContext().readOnly.load();
    std::terminate_handler previous = context != nullptr ? context->exception.previousHandler : nullptr;
    if (previous == EMBTerminateHandler) {
        EMBSDKFileLog("%s: Error: original handler was set recursively\n", __func__);
        previous = nullptr;
    } else if (previous != nullptr) {
        EMBSDKFileLog("%s: restoring pre-existing handler\n", __func__);
        if (std::set_terminate(previous) == previous) {
            EMBSDKFileLog("%s: handler has already been restored, aborting\n", __func__);
            std::abort();
        }
    }
    recordCurrentException();
    if (previous != nullptr) {
        EMBSDKFileLog("%s: invoking pre-existing handler\n", __func__);
        previous();
    }
    EMBSDKFileLog("%s: aborting\n", __func__);
    std::abort();
}

void EMBExceptionRecordNSException(const platform::foundation::NamedException& exception)
{
    EMBSDKFileLog("%s: Recording an NSException\n", __func__);
    std::vector<EMBStackFrame> frames;
    for (std::uintptr_t address : exception.callStackReturnAddresses())
        frames.push_back(EMBStackFrame::stackFrameWithAddress(address));
    EMBExceptionRecord(
        EMBExceptionType::ObjectiveC, exception.name().c_str(), exception.reason().c_str(), frames, true);
}

void EMBExceptionRecord(EMBExceptionType type, const char* name, const char* reason,
    const std::vector<EMBStackFrame>& frames, bool deliver)
{
    if (!EMBContextIsInitialized())
        return;
    EMBReadOnlyContext* readOnly = EMBCurrentContext().readOnly.load();
    EMBSDKFileLog("%s: Recording an exception structure (%d, %d)\n", __func__, int(deliver), int(isFatal(type)));
    if (isFatal(type)) {
        std::lock_guard lock(fatalRecordMutex());
        EMBFile file;
        if (EMBFileInitWithPath(&file, readOnly->exception.path, false)) {
            EMBExceptionWrite(&file, type, name, reason, frames);
            EMBHandler(&file, gettid(), nullptr);
            EMBFileClose(&file);
            if (deliver)
                EMBHandlerAttemptImmediateDelivery();
        } else {
            EMBSDKFileLog("%s: Unable to open exception file\n", __func__);
        }
    } else if (const EMBUserLoggingStorages* storages = EMBUserLoggingCurrentStorages()) {
        EMBUserLoggingWriteAndCheckABFiles(&storages->customExceptionStorage,
            &EMBUserLoggingCurrentState()->customExceptionStorageCurrentFile,
            [&](EMBFile* file) { EMBExceptionWrite(file, type, name, reason, frames); });
    }
    EMBSDKFileLog("%s: Finished recording an exception structure\n", __func__);
}

bool EMBExceptionWrite(EMBFile* file, EMBExceptionType type, const char* name, const char* reason,
    const std::vector<EMBStackFrame>& frames)
{
    EMBFileWriteSectionStart(file, "exception");
    EMBFileWriteHashStart(file);
    EMBFileWriteHashEntryString(file, "type", typeName(type));
    EMBFileWriteHashEntryHexEncodedString(file, "name", name);
    EMBFileWriteHashEntryHexEncodedString(file, "reason", reason);
    EMBFileWriteHashEntryUint64(file, "time", std::uint64_t(std::time(nullptr)));
    if (!frames.empty()) {
        EMBFileWriteHashKey(file, "frames");
        EMBFileWriteArrayStart(file);
        for (const EMBStackFrame& frame : frames) {
            EMBFileWriteHashStart(file);
            EMBFileWriteHashEntryUint64(file, "pc", frame.address);
            if (frame.symbol)
                EMBFileWriteHashEntryHexEncodedString(file, "symbol", frame.symbol->c_str());
            EMBFileWriteHashEntryUint64(file, "offset", frame.offset);
            if (frame.library)
                EMBFileWriteHashEntryHexEncodedString(file, "library", frame.library->c_str());
            if (frame.fileName)
                EMBFileWriteHashEntryHexEncodedString(file, "file", frame.fileName->c_str());
            EMBFileWriteHashEntryUint64(file, "line", std::uint32_t(frame.lineNumber));
            EMBFileWriteHashEnd(file);
        }
        EMBFileWriteArrayEnd(file);
    }
    EMBFileWriteHashEnd(file);
    return EMBFileWriteSectionEnd(file);
}

void EMBExceptionCheckHandlers()
{
    std::terminate_handler handler = std::get_terminate();
    if (handler == EMBTerminateHandler)
        return;
    EMBLookupFunctionPointer(reinterpret_cast<const void*>(handler), [](const char* symbol, const char* image) {
        platform::foundation::Log("[Ember:Crash]")
            .write(std::string("Warning: std::get_terminate is '") + (symbol != nullptr ? symbol : "(null)")
                + "' in '" + (image != nullptr ? image : "(null)") + "'");
    });
}

void EMBExceptionRaiseTestCppException()
{
    throw "Ember C++ Test Exception";
}

void EMBExceptionRaiseTestObjCException()
{
    throw platform::foundation::NamedException(
        "EmberTestException", "This is an Objective-C exception using for testing.");
}

}
