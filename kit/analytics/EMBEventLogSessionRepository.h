#pragma once

#include "platform/foundation/Error.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

/// The analytics kit's store of event logs on disk, under its root directory:
///
///     v1/<state>/<session>/<fragment>/<log file>
///
/// The state is "ACTIVE" (fragments being written and closed ones waiting to be packaged) or "PACKAGED"
/// (fragments compressed and waiting to be uploaded). A session is named "<timestamp>_<identifier>" by its
/// start in milliseconds since 1970, a fragment likewise; so sorting paths as text sorts them oldest first
/// (for timestamps of equal length). A fragment being filled in "PACKAGED" carries the extension "prep". An
/// "ACTIVE" fragment holds "0.log", "1.log" and "2.log" (one per priority); a packaged one the same names
/// with "zip" added, each the gzip of its log file.
///
/// The repository names, creates, lists, renames and removes these; it decides nothing about when. Every
/// operation that can fail answers nullopt or false and sets the error it is given, with the file system's
/// error number (EMBFileSystemError). Listings leave out names beginning with "." and come sorted by path.
/// Safe to use from several threads as long as they work on different fragments.
class EMBEventLogSessionRepository {
public:
    using Path = std::filesystem::path;
    using Paths = std::vector<Path>;
    using ErrorOut = std::optional<platform::foundation::Error>*;

    static constexpr const char* kActiveStateName { "ACTIVE" };
    static constexpr const char* kPackagedStateName { "PACKAGED" };
    static constexpr const char* kVersionDirectoryName { "v1" };
    static constexpr const char* kLogExtension { "log" };
    static constexpr const char* kCompressedExtension { "zip" };
    static constexpr const char* kPrepExtension { "prep" };

    /// The store under `rootDirectoryURL` (the kit's "analytics" folder); nothing is created yet.
    explicit EMBEventLogSessionRepository(Path rootDirectoryURL);

    const Path& rootDirectoryURL() const { return m_rootDirectoryURL; }
    std::string versionDirectoryName() const { return kVersionDirectoryName; }

    // Naming

    /// "0.log", "1.log" or "2.log"; nullopt for another priority.
    static std::optional<std::string> activeEventLogFileNameForPriority(std::uint64_t priority);
    /// 0, 1 or 2 for a file named "<p>.log" or "<p>.log.<anything>"; -1 for any other name.
    static int priorityForEventLogFileWithName(std::string_view name);
    /// "<timestamp>_<identifier>".
    static std::string sessionDirectoryNameWithIdentifier(
        std::string_view identifier, std::uint64_t timestamp);
    static std::string sessionFragmentDirectoryNameWithIdentifier(
        std::string_view identifier, std::uint64_t timestamp);
    /// The same path with "prep" added as the last component's extension.
    static Path prepDirectoryForDirectoryURL(const Path& directory);
    /// Whether the last component's extension is "prep".
    static bool isPrepDirectoryURL(const Path& directory);
    /// The parent directories.
    static Path stateDirectoryURLForSessionDirectoryURL(const Path& session) { return parentOf(session); }
    static Path sessionDirectoryURLForSessionFragmentDirectoryURL(const Path& fragment)
    {
        return parentOf(fragment);
    }
    static Path sessionFragmentDirectoryURLForLogFileURL(const Path& file) { return parentOf(file); }

    // Directories: each makes sure the directory exists and answers it.

    /// root/"v1".
    std::optional<Path> statesDirectoryURL(ErrorOut error = nullptr) const;
    /// root/"v1"/`state`.
    std::optional<Path> stateDirectoryURLForStateName(std::string_view state, ErrorOut error = nullptr) const;
    std::optional<Path> sessionDirectoryURLForStateName(std::string_view state,
        std::string_view sessionIdentifier, std::uint64_t sessionTimestamp, ErrorOut error = nullptr) const;
    std::optional<Path> sessionFragmentDirectoryURLForStateName(std::string_view state,
        std::string_view sessionIdentifier, std::uint64_t sessionTimestamp,
        std::string_view sessionFragmentIdentifier, std::uint64_t sessionFragmentTimestamp,
        ErrorOut error = nullptr) const;
    /// The log file of `eventPriority` in that fragment, whose directory is created; the file is not.
    std::optional<Path> eventLogFileURLForStateName(std::string_view state,
        std::string_view sessionIdentifier, std::uint64_t sessionTimestamp,
        std::string_view sessionFragmentIdentifier, std::uint64_t sessionFragmentTimestamp,
        std::uint64_t eventPriority, ErrorOut error = nullptr) const;
    /// `state`/<session>/<fragment>.prep for the fragment directory `fragment` of another state (a path of at
    /// least three components).
    std::optional<Path> prepSessionFragmentDirectoryURLForStateName(
        std::string_view state, const Path& fragment, ErrorOut error = nullptr) const;

    // Listings

    /// The session directories of `state` (which is created when missing).
    std::optional<Paths> sessionDirectoryURLsForStateName(
        std::string_view state, ErrorOut error = nullptr) const;
    std::optional<Paths> sessionFragmentDirectoryURLsForSessionDirectory(
        const Path& session, ErrorOut error = nullptr) const;
    /// The entries with the extension "log" or "zip".
    std::optional<Paths> logFileURLsForSessionFragmentDirectory(
        const Path& fragment, ErrorOut error = nullptr) const;
    /// The log files of every fragment of every session, of "ACTIVE" and then of "PACKAGED"; nullopt as soon
    /// as one listing fails.
    std::optional<Paths> logFileURLsForAllStates(ErrorOut error = nullptr) const;

    // Changes

    /// Renames the preparation directory `prep` to its final name (without "prep"), replacing a directory
    /// of that name; answers the final path. Fails for a directory without the extension "prep".
    std::optional<Path> removePrepStatusFromSessionFragmentDirectoryURL(
        const Path& prep, ErrorOut error = nullptr) const;
    /// Deletes every "prep" fragment directory of every session of `state`; stops at the first failure.
    bool purgePrepSessionFragmentDirectoriesForStateName(
        std::string_view state, ErrorOut error = nullptr) const;
    /// Deletes the fragment directory, then its session directory when that is empty, then the state
    /// directory when that is empty.
    bool removeSessionFragmentDirectory(const Path& fragment, ErrorOut error = nullptr) const;
    /// Deletes the log file, then its fragment as removeSessionFragmentDirectory() when that is empty.
    bool removeLogFile(const Path& file, ErrorOut error = nullptr) const;
    /// Deletes everything that does not belong in the store: entries of "v1" other than the two states,
    /// sessions and fragments that are no directories, entries of fragments other than "log" and "zip"
    /// files, and every session and fragment left with nothing kept. The fragment `spared` (the open one,
    /// compared as normalised paths) is kept as it is, and with it its session. Stops at the first failure.
    bool cleanUpEventLogRepositoryIgnorningSessionFragmentDirectoryURL(
        const std::optional<Path>& spared, ErrorOut error = nullptr) const;

    // Helpers

    /// Creates the directory and its parents, first deleting a file that stands in the way.
    bool createDirectoryWithURL(const Path& directory, ErrorOut error = nullptr) const;
    /// Deletes the file or directory with its contents; nothing there is success.
    bool deleteItemAtURL(const Path& item, ErrorOut error = nullptr) const;
    /// Whether a directory stands at `path` (a link to one counts).
    static bool isDirectoryURL(const Path& path);
    /// Whether the last component's extension is `extension` (without the dot).
    static bool itemURLHasPathExtensionMatching(const Path& item, std::string_view extension);
    /// The entries of `directory` without "."-names, sorted.
    std::optional<Paths> contentsOfDirectoryURL(const Path& directory, ErrorOut error = nullptr) const;
    /// The paths that are directories, in their order.
    static Paths arrayByFilteringNonDirectoriesFromURLs(const Paths& paths);

private:
    static Path parentOf(const Path& path);
    /// Whether the walk keeps `item` at `level` (0 the states' "v1", 1 a state, 2 a session, 3 a fragment,
    /// 4 a fragment's entry), deleting what it does not keep below it.
    std::optional<bool> keeps(
        const Path& item, int level, const std::optional<Path>& spared, ErrorOut error) const;
    /// Deletes `directory` when it exists and holds nothing.
    bool removeIfEmpty(const Path& directory, ErrorOut error) const;

    Path m_rootDirectoryURL;
};

}
