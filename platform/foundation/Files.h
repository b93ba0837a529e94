#pragma once

#include "platform/foundation/Value.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// The app's folders and the file operations the app uses on them.
///
/// The app's home folder holds "Documents" and "Library/Preferences",
/// "Library/Application Support" and "Library/Caches", as on the phone. It is $ZORVIK_HOME when set, else
/// ~/.local/share/zorvik; a test points it at a temporary folder with setHomeDirectory(). The resource folder
/// (the app's "bundle") is $ZORVIK_BUNDLE_DIR when set, else the repository's resources/ folder;
/// setBundleDirectory() changes it.
///
/// No operation throws: failures answer false or nullopt. Writes are atomic:
/// a reader sees the old content or the new, never a part. A write goes to a
/// temporary file beside the target (".NAME.tmp-XXXXXX") that is renamed over
/// it; the temporary files of writers that were killed mid-write are removed
/// when Documents or Library/Preferences is first opened by this process.
/// Thread-safe.
class Files {
public:
    /// The folder that holds Documents and Library.
    static std::filesystem::path homeDirectory();

    /// Points the home folder at `path`; an empty path goes back to the default.
    static void setHomeDirectory(std::filesystem::path path);

    /// The Documents folder, created when missing; nullopt when it cannot be.
    static std::optional<std::filesystem::path> documentsDirectory();

    /// The Library/Preferences folder that holds the defaults, created when
    /// missing; nullopt when it cannot be.
    static std::optional<std::filesystem::path> preferencesDirectory();

    /// The Library/Application Support folder (files the app keeps, out of the user's sight), created
    /// when missing; nullopt when it cannot be.
    static std::optional<std::filesystem::path> applicationSupportDirectory();

    /// The Library/Caches folder (files the app can make again), created when missing; nullopt when it
    /// cannot be.
    static std::optional<std::filesystem::path> cachesDirectory();

    /// The app's resource folder.
    static std::filesystem::path bundleDirectory();

    /// Points the resource folder at `path`; an empty path goes back to the default.
    static void setBundleDirectory(std::filesystem::path path);

    /// The path of the resource `name` in the resource folder, or in its sub-folder `subfolder` (which
    /// may have several levels: "ZorvikResources/fonts"); nullopt when there is no such file.
    static std::optional<std::filesystem::path> resourcePath(
        std::string_view name, std::string_view subfolder = {});

    /// The file's content, or nullopt when it is missing, unreadable or not well-formed UTF-8.
    static std::optional<std::string> readText(const std::filesystem::path& path);

    /// The file's bytes, or nullopt when it is missing or unreadable.
    static std::optional<Bytes> readBytes(const std::filesystem::path& path);

    /// Replaces the file's content with `text`, creating the file. The folder must exist. Returns
    /// false, leaving any old file as it was, when the write fails.
    static bool writeText(const std::filesystem::path& path, std::string_view text);

    /// Replaces the file's content with `bytes`, as writeText().
    static bool writeBytes(const std::filesystem::path& path, const Bytes& bytes);

    /// Copies the file `from` to `to`, replacing a file there. Returns false when `from` is missing or
    /// the copy fails.
    static bool copy(const std::filesystem::path& from, const std::filesystem::path& to);

    /// Moves a damaged file out of the way, within its folder, to its name followed by ".corrupt-" and the
    /// time in UTC ("user.data.corrupt-20150114T120000Z"; "-2", "-3"... added when that name is taken),
    /// where a person can find it. Answers the new path, or nullopt when the file could not be moved.
    static std::optional<std::filesystem::path> moveAside(const std::filesystem::path& path);

    /// Removes the file (or empty folder). Returns false when there was nothing to remove or it stayed.
    static bool remove(const std::filesystem::path& path);

    /// True when something exists at `path`.
    static bool exists(const std::filesystem::path& path);

    /// True when `path` is a folder.
    static bool isDirectory(const std::filesystem::path& path);

    /// Creates the folder and its parents. Returns true when the folder exists afterwards.
    static bool createDirectories(const std::filesystem::path& path);
};

}
