#pragma once

#include "kit/crash/capture/EMBFile.h"

#include <cstdarg>
#include <cstdint>
#include <string>

namespace kit {

/// Records one formatted (printf) line in the custom log that goes with the next crash report.
void EMBLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
/// EMBLog with an argument list.
void EMBLogv(const char* format, va_list arguments) __attribute__((format(printf, 1, 0)));
/// EMBLog, also writing the line to the system log.
void EMBNSLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
/// EMBNSLog with an argument list.
void EMBNSLogv(const char* format, va_list arguments) __attribute__((format(printf, 1, 0)));

/// Records an already formatted message, cut to EMBUserLoggingMaxLogSize() bytes, timed now. Nothing before
/// logging is set up.
void EMBLogInternal(const std::string& message);
/// Writes one "log" record of `message` at `time` (milliseconds on the log clock) to `file`.
void EMBLogInternalWrite(EMBFile* file, const std::string& message, std::uint64_t time);

}
