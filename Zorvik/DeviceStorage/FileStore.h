#pragma once

#include "platform/foundation/Value.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

/// Named flat files in the app's Documents folder: the "user" file with the signed-in e-mail address, the
/// folder screen's "tutorial" file. Any number of file stores may exist; they share nothing but the folder.
///
/// A name is one plain file name: a name that is empty, "." or "..", or holds a "/" or a NUL names no
/// file, so that no caller can reach outside Documents. Writes and removals report nothing (a failure
/// leaves the old file as it was); reads answer nullopt for a missing or unreadable file.
class FileStore {
public:
    /// The path of the file `name` in Documents, or nullopt when there is no Documents folder or the
    /// name is not a plain file name.
    std::optional<std::filesystem::path> pathForFile(std::string_view name) const;

    /// Replaces the file `name` with `contents` as UTF-8 text.
    void saveToFile(std::string_view name, std::string_view contents) const;

    /// Replaces the file `name` with `contents`.
    void saveDataToFile(std::string_view name, const platform::foundation::Bytes& contents) const;

    /// The file's text, or nullopt when it is missing or not valid UTF-8.
    std::optional<std::string> readFromFile(std::string_view name) const;

    /// The file's bytes, or nullopt when it is missing.
    std::optional<platform::foundation::Bytes> readDataFromFile(std::string_view name) const;

    /// Deletes the file; a missing file is no error.
    void removeFile(std::string_view name) const;
};

}
