#include "kit/analytics/EMBEventLogSessionRepository.h"

#include "kit/analytics/EMBFileSystemError.h"

#include <algorithm>
#include <array>

namespace kit {

namespace fs = std::filesystem;
using Path = EMBEventLogSessionRepository::Path;
using Paths = EMBEventLogSessionRepository::Paths;
using ErrorOut = EMBEventLogSessionRepository::ErrorOut;

namespace {

constexpr std::array<const char*, 3> kActiveLogFileNames { "0.log", "1.log", "2.log" };

std::string timestamped(std::string_view identifier, std::uint64_t timestamp)
{
    return std::to_string(timestamp) + "_" + std::string(identifier);
}

}

EMBEventLogSessionRepository::EMBEventLogSessionRepository(Path rootDirectoryURL)
    : m_rootDirectoryURL(std::move(rootDirectoryURL))
{
}

Path EMBEventLogSessionRepository::parentOf(const Path& path)
{
    Path normal = path.lexically_normal();
    if (!normal.has_filename())
        normal = normal.parent_path();
    return normal.parent_path();
}

std::optional<std::string> EMBEventLogSessionRepository::activeEventLogFileNameForPriority(
    std::uint64_t priority)
{
    if (priority >= kActiveLogFileNames.size())
        return std::nullopt;
    return kActiveLogFileNames[priority];
}

int EMBEventLogSessionRepository::priorityForEventLogFileWithName(std::string_view name)
{
    std::string_view withoutExtension = name;
    if (auto dot = name.rfind('.'); dot != std::string_view::npos)
        withoutExtension = name.substr(0, dot);
    for (std::size_t priority = 0; priority < kActiveLogFileNames.size(); ++priority) {
        if (name == kActiveLogFileNames[priority] || withoutExtension == kActiveLogFileNames[priority])
            return static_cast<int>(priority);
    }
    return -1;
}

std::string EMBEventLogSessionRepository::sessionDirectoryNameWithIdentifier(
    std::string_view identifier, std::uint64_t timestamp)
{
    return timestamped(identifier, timestamp);
}

std::string EMBEventLogSessionRepository::sessionFragmentDirectoryNameWithIdentifier(
    std::string_view identifier, std::uint64_t timestamp)
{
    return timestamped(identifier, timestamp);
}

Path EMBEventLogSessionRepository::prepDirectoryForDirectoryURL(const Path& directory)
{
    Path normal = directory.lexically_normal();
    if (!normal.has_filename())
        normal = normal.parent_path();
    return normal.parent_path() / (normal.filename().string() + "." + kPrepExtension);
}

bool EMBEventLogSessionRepository::isPrepDirectoryURL(const Path& directory)
{
    return itemURLHasPathExtensionMatching(directory, kPrepExtension);
}

std::optional<Path> EMBEventLogSessionRepository::statesDirectoryURL(ErrorOut error) const
{
    Path states = m_rootDirectoryURL / kVersionDirectoryName;
    if (!createDirectoryWithURL(states, error))
        return std::nullopt;
    return states;
}

std::optional<Path> EMBEventLogSessionRepository::stateDirectoryURLForStateName(
    std::string_view state, ErrorOut error) const
{
    Path directory = m_rootDirectoryURL / kVersionDirectoryName / state;
    if (!createDirectoryWithURL(directory, error))
        return std::nullopt;
    return directory;
}

std::optional<Path> EMBEventLogSessionRepository::sessionDirectoryURLForStateName(std::string_view state,
    std::string_view sessionIdentifier, std::uint64_t sessionTimestamp, ErrorOut error) const
{
    Path directory = m_rootDirectoryURL / kVersionDirectoryName / state
        / sessionDirectoryNameWithIdentifier(sessionIdentifier, sessionTimestamp);
    if (!createDirectoryWithURL(directory, error))
        return std::nullopt;
    return directory;
}

std::optional<Path> EMBEventLogSessionRepository::sessionFragmentDirectoryURLForStateName(
    std::string_view state, std::string_view sessionIdentifier, std::uint64_t sessionTimestamp,
    std::string_view sessionFragmentIdentifier, std::uint64_t sessionFragmentTimestamp, ErrorOut error) const
{
    Path directory = m_rootDirectoryURL / kVersionDirectoryName / state
        / sessionDirectoryNameWithIdentifier(sessionIdentifier, sessionTimestamp)
        / sessionFragmentDirectoryNameWithIdentifier(sessionFragmentIdentifier, sessionFragmentTimestamp);
    if (!createDirectoryWithURL(directory, error))
        return std::nullopt;
    return directory;
}

std::optional<Path> EMBEventLogSessionRepository::eventLogFileURLForStateName(std::string_view state,
    std::string_view sessionIdentifier, std::uint64_t sessionTimestamp,
    std::string_view sessionFragmentIdentifier, std::uint64_t sessionFragmentTimestamp,
    std::uint64_t eventPriority, ErrorOut error) const
{
    auto name = activeEventLogFileNameForPriority(eventPriority);
    if (!name) {
        EMBFail(error, EMBFileSystemError(std::make_error_code(std::errc::invalid_argument), "priority"));
        return std::nullopt;
    }
    auto fragment = sessionFragmentDirectoryURLForStateName(state, sessionIdentifier, sessionTimestamp,
        sessionFragmentIdentifier, sessionFragmentTimestamp, error);
    if (!fragment)
        return std::nullopt;
    return *fragment / *name;
}

std::optional<Path> EMBEventLogSessionRepository::prepSessionFragmentDirectoryURLForStateName(
    std::string_view state, const Path& fragment, ErrorOut error) const
{
    Path normal = fragment.lexically_normal();
    if (!normal.has_filename())
        normal = normal.parent_path();
    if (std::distance(normal.begin(), normal.end()) < 3) {
        EMBFail(error, EMBFileSystemError(std::make_error_code(std::errc::invalid_argument), fragment));
        return std::nullopt;
    }
    Path prep = prepDirectoryForDirectoryURL(m_rootDirectoryURL / kVersionDirectoryName / state
        / normal.parent_path().filename() / normal.filename());
    if (!createDirectoryWithURL(prep, error))
        return std::nullopt;
    return prep;
}

std::optional<Paths> EMBEventLogSessionRepository::sessionDirectoryURLsForStateName(
    std::string_view state, ErrorOut error) const
{
    auto directory = stateDirectoryURLForStateName(state, error);
    if (!directory)
        return std::nullopt;
    auto contents = contentsOfDirectoryURL(*directory, error);
    if (!contents)
        return std::nullopt;
    return arrayByFilteringNonDirectoriesFromURLs(*contents);
}

std::optional<Paths> EMBEventLogSessionRepository::sessionFragmentDirectoryURLsForSessionDirectory(
    const Path& session, ErrorOut error) const
{
    auto contents = contentsOfDirectoryURL(session, error);
    if (!contents)
        return std::nullopt;
    return arrayByFilteringNonDirectoriesFromURLs(*contents);
}

std::optional<Paths> EMBEventLogSessionRepository::logFileURLsForSessionFragmentDirectory(
    const Path& fragment, ErrorOut error) const
{
    auto contents = contentsOfDirectoryURL(fragment, error);
    if (!contents)
        return std::nullopt;
    std::erase_if(*contents, [](const Path& entry) {
        return !itemURLHasPathExtensionMatching(entry, kLogExtension)
            && !itemURLHasPathExtensionMatching(entry, kCompressedExtension);
    });
    return contents;
}

std::optional<Paths> EMBEventLogSessionRepository::logFileURLsForAllStates(ErrorOut error) const
{
    Paths files;
    for (const char* state : { kActiveStateName, kPackagedStateName }) {
        auto sessions = sessionDirectoryURLsForStateName(state, error);
        if (!sessions)
            return std::nullopt;
        for (const auto& session : *sessions) {
            auto fragments = sessionFragmentDirectoryURLsForSessionDirectory(session, error);
            if (!fragments)
                return std::nullopt;
            for (const auto& fragment : *fragments) {
                auto logs = logFileURLsForSessionFragmentDirectory(fragment, error);
                if (!logs)
                    return std::nullopt;
                files.insert(files.end(), logs->begin(), logs->end());
            }
        }
    }
    return files;
}

std::optional<Path> EMBEventLogSessionRepository::removePrepStatusFromSessionFragmentDirectoryURL(
    const Path& prep, ErrorOut error) const
{
    if (!isPrepDirectoryURL(prep)) {
        EMBFail(error, EMBFileSystemError(std::make_error_code(std::errc::invalid_argument), prep));
        return std::nullopt;
    }
    Path normal = prep.lexically_normal();
    if (!normal.has_filename())
        normal = normal.parent_path();
    Path finalPath = normal.parent_path() / normal.stem();
    if (!deleteItemAtURL(finalPath, error))
        return std::nullopt;
    std::error_code code;
    fs::rename(normal, finalPath, code);
    if (code) {
        EMBFail(error, EMBFileSystemError(code, normal));
        return std::nullopt;
    }
    return finalPath;
}

bool EMBEventLogSessionRepository::purgePrepSessionFragmentDirectoriesForStateName(
    std::string_view state, ErrorOut error) const
{
    auto sessions = sessionDirectoryURLsForStateName(state, error);
    if (!sessions)
        return false;
    for (const auto& session : *sessions) {
        auto fragments = sessionFragmentDirectoryURLsForSessionDirectory(session, error);
        if (!fragments)
            return false;
        for (const auto& fragment : *fragments) {
            if (isPrepDirectoryURL(fragment) && !deleteItemAtURL(fragment, error))
                return false;
        }
    }
    return true;
}

bool EMBEventLogSessionRepository::removeSessionFragmentDirectory(const Path& fragment, ErrorOut error) const
{
    if (!deleteItemAtURL(fragment, error))
        return false;
    Path session = sessionDirectoryURLForSessionFragmentDirectoryURL(fragment);
    if (!removeIfEmpty(session, error))
        return false;
    return removeIfEmpty(stateDirectoryURLForSessionDirectoryURL(session), error);
}

bool EMBEventLogSessionRepository::removeLogFile(const Path& file, ErrorOut error) const
{
    if (!deleteItemAtURL(file, error))
        return false;
    Path fragment = sessionFragmentDirectoryURLForLogFileURL(file);
    std::error_code code;
    if (fs::is_directory(fragment, code) && fs::is_empty(fragment, code) && !code)
        return removeSessionFragmentDirectory(fragment, error);
    return true;
}

bool EMBEventLogSessionRepository::removeIfEmpty(const Path& directory, ErrorOut error) const
{
    std::error_code code;
    if (!fs::is_directory(directory, code))
        return true;
    bool empty = fs::is_empty(directory, code);
    if (code)
        return EMBFail(error, EMBFileSystemError(code, directory));
    return !empty || deleteItemAtURL(directory, error);
}

}
