#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kit {

class EMBInternalReport;

/// The crash kit's file layout and every file operation of its report pipeline. Under the root
/// (Caches/"com.ember.data"/<bundle identifier>), "v3" holds one directory per launch in "active", reports
/// being packaged in "processing" and upload packages in "prepared". Entries whose names begin with "." are
/// files being written: never listed, moved or sent, and deleted as stale when a launch starts.
class EMBFileManager {
public:
    /// The layout under the app's Caches directory, named by the main bundle's identifier.
    EMBFileManager();
    /// The layout under `rootPath`.
    explicit EMBFileManager(std::string rootPath);

    /// Calls `block` with the full path and the extension (without ".") of each entry of `directory`, in
    /// listing order, skipping "."-names.
    using FileBlock = std::function<void(const std::string& path, const std::string& extension)>;

    /// Creates `path` and missing parents, mode 0755; logs and answers false on failure.
    bool createDirectoryAtPath(const std::string& path) const;
    /// Removes a file or a whole directory; logs and answers false on failure.
    bool removeItemAtPath(const std::string& path) const;
    /// Removes a file or a whole directory at one stroke: renamed to its "." name (one rename(2)), then
    /// deleted, so that a kill midway leaves only a "." entry for the next launch to clear, never a report
    /// with some of its files gone. Logs and answers false when it cannot be renamed.
    bool removeItemAtomicallyAtPath(const std::string& path) const;
    /// Removes every entry of `path` (also "."-names), trying all; true when all went.
    bool removeContentsOfDirectoryAtPath(const std::string& path) const;
    /// Moves `path` into `directory` under its own name with one rename(2); logs and answers false on
    /// failure.
    bool moveItemAtPath(const std::string& path, const std::string& directory) const;
    /// Moves the listed entries of `from` into `to` in listing order, stopping at the first failure.
    bool moveItemsFromDirectory(const std::string& from, const std::string& to) const;
    void enumerateFilesInDirectory(const std::string& directory, const FileBlock& block) const;
    /// The full paths enumeration yields, in listing order.
    std::vector<std::string> contentsOfDirectory(const std::string& directory) const;
    /// The file's size; nullopt (logged) when it cannot be read.
    std::optional<std::uint64_t> fileSizeAtPath(const std::string& path) const;

    const std::string& rootPath() const { return m_rootPath; }
    std::string structurePath() const { return m_rootPath + "/v3"; }
    std::string activePath() const { return structurePath() + "/active"; }
    std::string processingPath() const { return structurePath() + "/processing"; }
    std::string pendingPath() const { return structurePath() + "/pending"; }
    std::string preparedPath() const { return structurePath() + "/prepared"; }
    std::vector<std::string> activePathContents() const { return contentsOfDirectory(activePath()); }
    std::vector<std::string> processingPathContents() const { return contentsOfDirectory(processingPath()); }
    std::vector<std::string> preparedPathContents() const { return contentsOfDirectory(preparedPath()); }

    /// Creates the active, processing and prepared directories (stopping at the first failure), then deletes
    /// the "."-files a killed launch left half-written in them and in their report directories.
    bool prepareForNewLaunch() const;
    /// Creates active/<identifier> and answers it; nullopt when it cannot be made.
    std::optional<std::string> setupNewPathForExecutionIdentifier(const std::string& identifier) const;
    /// When the legacy marker root/"sendable" exists, deletes the whole root (analytics included).
    void removeLegacyDirectories() const;
    /// Empties processing, pending, prepared and active, trying all.
    bool removeContentsOfAllPaths() const;
    bool removeContentsOfProcessingPath() const { return removeContentsOfDirectoryAtPath(processingPath()); }
    bool removeContentsOfPendingPath() const { return removeContentsOfDirectoryAtPath(pendingPath()); }
    bool movePendingToProcessing() const { return moveItemsFromDirectory(pendingPath(), processingPath()); }
    bool moveProcessingContentsToPrepared() const
    {
        return moveItemsFromDirectory(processingPath(), preparedPath());
    }
    void enumerateFilesInActiveDirectory(const FileBlock& block) const;
    void enumerateFilesInPreparedDirectory(const FileBlock& block) const;
    /// Calls `block` with the report opened on each processing entry (null when it cannot be opened) and its
    /// path.
    void enumerateReportsInProcessingDirectory(
        const std::function<void(std::shared_ptr<EMBInternalReport>, const std::string&)>& block) const;

    /// The path of `name` written under a "." name beside it, to be renamed into place when whole.
    static std::string temporaryPathFor(const std::string& path);

private:
    std::string m_rootPath;
};

}
