#pragma once

#include <cstdarg>
#include <cstddef>

namespace kit {

/// Longest SDK log line; a longer message is cut and still ends with a line feed.
inline constexpr std::size_t kEMBSDKLogLineCapacity { 1024 };

/// Points the SDK log at `path` ("sdk.log" in the report directory) and closes a file opened before. Called
/// while the crash context is set up, never at crash time. Nothing is logged before a path is set.
void EMBSDKLogSetPath(const char* path);

/// Appends one formatted message to the SDK log. The format knows "%d" and "%i", "%u", "%x", "%c", "%s"
/// ("(null)" for none) and "%p" ("0x" and lower-case hexadecimal), with the length modifiers hh, h, l, ll, z,
/// j and t, a width and the "0" flag; any other character after "%" (also a second "%") is written as it
/// stands, with the "%". The line is formatted on the stack and written with one append, so lines of threads
/// logging together never interleave. Allocates nothing and takes no lock: safe in a signal handler.
void EMBSDKFileLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// Formats like EMBSDKFileLog into `out` (at most `capacity` bytes, no terminator) and answers the length.
std::size_t EMBSDKLogFormat(char* out, std::size_t capacity, const char* format, va_list arguments);

}
