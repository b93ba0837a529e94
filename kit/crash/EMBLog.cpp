#include "kit/crash/EMBLog.h"

#include "kit/crash/EMBUserLogging.h"
#include "platform/foundation/Log.h"

#include <cstdio>

namespace kit {
namespace {

std::string format(const char* format, va_list arguments)
{
    va_list copy;
    va_copy(copy, arguments);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    return text;
}

}

void EMBLog(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    EMBLogv(format, arguments);
    va_end(arguments);
}

void EMBLogv(const char* text, va_list arguments)
{
    if (text == nullptr || !EMBUserLoggingIsInitialized())
        return;
    EMBLogInternal(format(text, arguments));
}

void EMBNSLog(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    EMBNSLogv(format, arguments);
    va_end(arguments);
}

void EMBNSLogv(const char* text, va_list arguments)
{
    if (text == nullptr)
        return;
    auto message = format(text, arguments);
    EMBLogInternal(message);
    platform::foundation::Log().write(message);
}

void EMBLogInternal(const std::string& message)
{
    auto* storages = EMBUserLoggingCurrentStorages();
    auto* state = EMBUserLoggingCurrentState();
    if (!storages || !state)
        return;
    auto time = EMBUserLoggingLogTime();
    auto text = EMBUserLoggingCutText(message, EMBUserLoggingMaxLogSize());
    EMBUserLoggingWriteAndCheckABFiles(&storages->logStorage, &state->logStorageCurrentFile,
        [&](EMBFile* file) { EMBLogInternalWrite(file, text, time); });
}

void EMBLogInternalWrite(EMBFile* file, const std::string& message, std::uint64_t time)
{
    EMBFileWriteSectionStart(file, "log");
    EMBFileWriteHashStart(file);
    EMBFileWriteHashEntryHexEncodedString(file, "msg", message.c_str());
    EMBFileWriteHashEntryUint64(file, "time", time);
    EMBFileWriteHashEnd(file);
    EMBFileWriteSectionEnd(file);
}

}
