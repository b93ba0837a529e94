// The repository's clean-up walk and its file-system helpers.
#include "kit/analytics/EMBEventLogSessionRepository.h"

#include "kit/analytics/EMBFileSystemError.h"

#include <algorithm>

namespace kit {

namespace fs = std::filesystem;
using Path = EMBEventLogSessionRepository::Path;
using Paths = EMBEventLogSessionRepository::Paths;
using ErrorOut = EMBEventLogSessionRepository::ErrorOut;

namespace {

// The levels of the walk.
enum Level { kStates = 0, kState, kSession, kFragment, kFragmentEntry };

Path normalized(const Path& path)
{
    Path normal = path.lexically_normal();
    return normal.has_filename() ? normal : normal.parent_path();
}

}

bool EMBEventLogSessionRepository::cleanUpEventLogRepositoryIgnorningSessionFragmentDirectoryURL(
    const std::optional<Path>& spared, ErrorOut error) const
{
    auto states = statesDirectoryURL(error);
    if (!states)
        return false;
    std::optional<Path> sparedNormal;
    if (spared)
        sparedNormal = normalized(*spared);
    return keeps(*states, kStates, sparedNormal, error).has_value();
}

std::optional<bool> EMBEventLogSessionRepository::keeps(
    const Path& item, int level, const std::optional<Path>& spared, ErrorOut error) const
{
    if (level == kFragmentEntry) {
        return !isDirectoryURL(item)
            && (itemURLHasPathExtensionMatching(item, kLogExtension)
                || itemURLHasPathExtensionMatching(item, kCompressedExtension));
    }
    if (!isDirectoryURL(item))
        return false;
    auto contents = contentsOfDirectoryURL(item, error);
    if (!contents)
        return std::nullopt;
    bool keptChild = false;
    for (const auto& entry : *contents) {
        bool keep = false;
        if (level == kStates) {
            auto name = entry.filename().string();
            if (name == kActiveStateName || name == kPackagedStateName) {
                auto answer = keeps(entry, kState, spared, error);
                if (!answer)
                    return std::nullopt;
                keep = *answer;
            }
        } else if (level == kSession && spared && normalized(entry) == *spared) {
            keep = true;
        } else {
            auto answer = keeps(entry, level + 1, spared, error);
            if (!answer)
                return std::nullopt;
            keep = *answer;
        }
        if (!keep && !deleteItemAtURL(entry, error))
            return std::nullopt;
        keptChild = keptChild || keep;
    }
    return keptChild;
}

bool EMBEventLogSessionRepository::createDirectoryWithURL(const Path& directory, ErrorOut error) const
{
    std::error_code code;
    auto status = fs::status(directory, code);
    if (fs::is_directory(status))
        return true;
    if (fs::exists(status) && !deleteItemAtURL(directory, error))
        return false;
    fs::create_directories(directory, code);
    if (code)
        return EMBFail(error, EMBFileSystemError(code, directory));
    return true;
}

bool EMBEventLogSessionRepository::deleteItemAtURL(const Path& item, ErrorOut error) const
{
    std::error_code code;
    auto status = fs::symlink_status(item, code);
    if (!fs::exists(status))
        return true;
    fs::remove_all(item, code);
    if (code)
        return EMBFail(error, EMBFileSystemError(code, item));
    return true;
}

bool EMBEventLogSessionRepository::isDirectoryURL(const Path& path)
{
    std::error_code code;
    return fs::is_directory(path, code);
}

bool EMBEventLogSessionRepository::itemURLHasPathExtensionMatching(
    const Path& item, std::string_view extension)
{
    auto name = normalized(item).filename().string();
    auto dot = name.rfind('.');
    return dot != std::string::npos && dot > 0 && std::string_view(name).substr(dot + 1) == extension;
}

std::optional<Paths> EMBEventLogSessionRepository::contentsOfDirectoryURL(
    const Path& directory, ErrorOut error) const
{
    std::error_code code;
    Paths contents;
    for (fs::directory_iterator entry(directory, code), end; !code && entry != end; entry.increment(code)) {
        if (!entry->path().filename().string().starts_with("."))
            contents.push_back(entry->path());
    }
    if (code) {
        EMBFail(error, EMBFileSystemError(code, directory));
        return std::nullopt;
    }
    std::ranges::sort(contents);
    return contents;
}

Paths EMBEventLogSessionRepository::arrayByFilteringNonDirectoriesFromURLs(const Paths& paths)
{
    Paths directories;
    std::ranges::copy_if(paths, std::back_inserter(directories), isDirectoryURL);
    return directories;
}

}
