#include "kit/crash/EMBFileManager.h"

#include "kit/crash/EMBInternalReport.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace kit {
namespace {

namespace fs = std::filesystem;

void log(const std::string& message)
{
    platform::foundation::Log().write(message);
}

std::string defaultRootPath()
{
    auto caches = platform::foundation::Files::cachesDirectory().value_or(fs::temp_directory_path());
    auto identifier = platform::foundation::Bundle::main()->bundleIdentifier().value_or("");
    return (caches / "com.ember.data" / identifier).string();
}

// Entry names of `directory` in listing order (by name, so that the order is the same on every run).
std::vector<std::string> entryNames(const std::string& directory)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void removeDotEntries(const std::string& directory, int depth)
{
    for (const auto& name : entryNames(directory)) {
        auto path = directory + "/" + name;
        std::error_code error;
        if (name.starts_with("."))
            fs::remove_all(path, error);
        else if (depth > 1 && fs::is_directory(path, error))
            removeDotEntries(path, depth - 1);
    }
}

}

EMBFileManager::EMBFileManager()
    : m_rootPath(defaultRootPath())
{
}

EMBFileManager::EMBFileManager(std::string rootPath)
    : m_rootPath(std::move(rootPath))
{
}

bool EMBFileManager::createDirectoryAtPath(const std::string& path) const
{
    std::error_code error;
    fs::create_directories(path, error);
    if (!error)
        fs::permissions(path, fs::perms(0755), error);
    if (error) {
        log("[FileManager] Unable to create directory " + path + ": " + error.message());
        return false;
    }
    return true;
}

bool EMBFileManager::removeItemAtPath(const std::string& path) const
{
    std::error_code error;
    if (fs::remove_all(path, error) == 0 && !error)
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    if (error) {
        log("[FileManager] Failed to remove file '" + path + "' : " + error.message());
        return false;
    }
    return true;
}

bool EMBFileManager::removeItemAtomicallyAtPath(const std::string& path) const
{
    auto hidden = temporaryPathFor(path);
    std::error_code error;
    fs::remove_all(hidden, error);
    if (std::rename(path.c_str(), hidden.c_str()) != 0) {
        log("[FileManager] Failed to remove file '" + path + "' : " + std::strerror(errno));
        return false;
    }
    return removeItemAtPath(hidden);
}

bool EMBFileManager::removeContentsOfDirectoryAtPath(const std::string& path) const
{
    bool all = true;
    for (const auto& name : entryNames(path))
        all = removeItemAtPath(path + "/" + name) && all;
    return all;
}

bool EMBFileManager::moveItemAtPath(const std::string& path, const std::string& directory) const
{
    if (path.empty() || directory.empty()) {
        log("[FileManager] Failed to move file, inputs invalid");
        return false;
    }
    auto destination = directory + "/" + fs::path(path).filename().string();
    if (std::rename(path.c_str(), destination.c_str()) != 0) {
        log("[FileManager] Failed to move file: " + path + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

bool EMBFileManager::moveItemsFromDirectory(const std::string& from, const std::string& to) const
{
    for (const auto& path : contentsOfDirectory(from))
        if (!moveItemAtPath(path, to))
            return false;
    return true;
}

void EMBFileManager::enumerateFilesInDirectory(const std::string& directory, const FileBlock& block) const
{
    for (const auto& name : entryNames(directory)) {
        if (name.starts_with("."))
            continue;
        auto extension = fs::path(name).extension().string();
        block(directory + "/" + name, extension.empty() ? extension : extension.substr(1));
    }
}

std::vector<std::string> EMBFileManager::contentsOfDirectory(const std::string& directory) const
{
    std::vector<std::string> paths;
    enumerateFilesInDirectory(
        directory, [&](const std::string& path, const std::string&) { paths.push_back(path); });
    return paths;
}

std::optional<std::uint64_t> EMBFileManager::fileSizeAtPath(const std::string& path) const
{
    struct stat status { };
    if (stat(path.c_str(), &status) != 0) {
        log("[Client] Unable to read file size: " + path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

bool EMBFileManager::prepareForNewLaunch() const
{
    for (const auto& path : { activePath(), processingPath(), preparedPath() })
        if (!createDirectoryAtPath(path))
            return false;
    for (const auto& path : { activePath(), processingPath(), preparedPath() })
        removeDotEntries(path, 2);
    return true;
}

std::optional<std::string> EMBFileManager::setupNewPathForExecutionIdentifier(
    const std::string& identifier) const
{
    auto path = activePath() + "/" + identifier;
    if (identifier.empty() || !createDirectoryAtPath(path))
        return std::nullopt;
    return path;
}

void EMBFileManager::removeLegacyDirectories() const
{
    std::error_code error;
    if (!fs::exists(m_rootPath + "/sendable", error))
        return;
    fs::remove_all(m_rootPath, error);
    if (error)
        log("[Ember:FileManager] Unable to remove legacy directory structure " + error.message());
    log("[Ember:FileManager] Removed legacy structure at " + m_rootPath);
}

bool EMBFileManager::removeContentsOfAllPaths() const
{
    bool all = true;
    for (const auto& path : { processingPath(), pendingPath(), preparedPath(), activePath() })
        all = removeContentsOfDirectoryAtPath(path) && all;
    return all;
}

void EMBFileManager::enumerateFilesInActiveDirectory(const FileBlock& block) const
{
    enumerateFilesInDirectory(activePath(), block);
}

void EMBFileManager::enumerateFilesInPreparedDirectory(const FileBlock& block) const
{
    enumerateFilesInDirectory(preparedPath(), block);
}

void EMBFileManager::enumerateReportsInProcessingDirectory(
    const std::function<void(std::shared_ptr<EMBInternalReport>, const std::string&)>& block) const
{
    for (const auto& path : processingPathContents())
        block(EMBInternalReport::reportWithPath(path), path);
}

std::string EMBFileManager::temporaryPathFor(const std::string& path)
{
    fs::path p(path);
    return (p.parent_path() / ("." + p.filename().string())).string();
}

}
