#pragma once

#include "platform/foundation/Error.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace kit {

/// The domain of errors that carry the file system's error number.
inline constexpr const char* kEMBFileSystemErrorDomain { "NSPOSIXErrorDomain" };

/// The error of a failed file operation on `path`: domain kEMBFileSystemErrorDomain, the error number as its
/// code, the path under "NSFilePath" and the system's message as its description.
platform::foundation::Error EMBFileSystemError(
    const std::error_code& code, const std::filesystem::path& path);

/// Sets `*error` (when `error` is given) and answers false, for a failing operation's last line.
bool EMBFail(std::optional<platform::foundation::Error>* error, platform::foundation::Error failure);

}
