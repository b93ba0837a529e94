#include "platform/foundation/Files.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Text.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <set>
#include <system_error>

namespace platform::foundation {

namespace fs = std::filesystem;

namespace {

struct Locations {
    std::mutex mutex;
    fs::path home;
    fs::path bundle;
    // The folders already cleared of stale temporary files by this process.
    std::set<fs::path> swept;
};

Locations& locations()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* shared = new Locations;
    return *shared;
}

fs::path defaultHome()
{
    if (const char* home = std::getenv("ZORVIK_HOME"); home && *home)
        return home;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return fs::path(data) / "zorvik";
    if (const char* user = std::getenv("HOME"); user && *user)
        return fs::path(user) / ".local" / "share" / "zorvik";
    std::error_code error;
    return fs::temp_directory_path(error) / "zorvik";
}

fs::path defaultBundle()
{
    if (const char* bundle = std::getenv("ZORVIK_BUNDLE_DIR"); bundle && *bundle)
        return bundle;
    return ZORVIK_RESOURCES_DIR;
}

std::optional<fs::path> existingDirectory(const fs::path& path)
{
    std::error_code error;
    fs::create_directories(path, error);
    if (fs::is_directory(path, error))
        return path;
    return std::nullopt;
}

constexpr std::string_view kTemporaryMarker = ".tmp-";
constexpr std::size_t kTemporaryRandomLength = 6;

// Whether `name` is that of a temporary file of writeAtomically(): ".NAME.tmp-XXXXXX".
bool isTemporaryName(std::string_view name)
{
    auto marker = name.rfind(kTemporaryMarker);
    if (name.size() < 2 || name.front() != '.' || marker == std::string_view::npos || marker < 2
        || name.size() - marker != kTemporaryMarker.size() + kTemporaryRandomLength)
        return false;
    auto random = name.substr(marker + kTemporaryMarker.size());
    return std::all_of(random.begin(), random.end(), [](unsigned char c) { return std::isalnum(c); });
}

// Removes the temporary files that writers killed mid-write left in `folder`. A writer holds a lock on its
// temporary file until it is renamed, so a file whose lock can be taken has no writer left.
void removeStaleTemporaries(const fs::path& folder)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::error_code statusError;
        if (!entry.is_regular_file(statusError) || entry.is_symlink(statusError)
            || !isTemporaryName(entry.path().filename().string()))
            continue;
        int descriptor = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (descriptor < 0)
            continue;
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
            ::unlink(entry.path().c_str());
        ::close(descriptor);
    }
}

// The app folder `path`, created when missing; cleared of stale temporary files the first time.
std::optional<fs::path> openedAppFolder(const fs::path& path)
{
    auto folder = existingDirectory(path);
    if (!folder)
        return folder;
    auto& shared = locations();
    {
        std::lock_guard lock(shared.mutex);
        if (!shared.swept.insert(*folder).second)
            return folder;
    }
    removeStaleTemporaries(*folder);
    return folder;
}

bool writeAll(int descriptor, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Writes to a fresh file beside the target, flushes it to disk, then
// renames it over the target, so the target is never seen half-written.
bool writeAtomically(const fs::path& path, const char* data, std::size_t size)
{
    if (path.filename().empty())
        return false;
    std::string temporary = (path.parent_path() / ("." + path.filename().string())).string()
        + std::string(kTemporaryMarker) + std::string(kTemporaryRandomLength, 'X');
    int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0)
        return false;
    // The lock stays until the file has its final name, so that a sweep never takes a live one.
    bool written = ::flock(descriptor, LOCK_EX) == 0 && ::fchmod(descriptor, 0644) == 0
        && writeAll(descriptor, data, size) && ::fsync(descriptor) == 0;
    bool renamed = written && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!renamed)
        ::unlink(temporary.c_str());
    ::close(descriptor);
    return renamed;
}

// The bytes of the regular file at `path`, read to its end in as few read(2)s as its size allows (one more
// to see the end; a file that grows meanwhile, or tells no size, is read whole all the same); none when it
// is not a regular file or cannot be read.
template<typename Container> std::optional<Container> readFile(const fs::path& path)
{
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    std::optional<Container> content;
    struct stat status { };
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        Container bytes(static_cast<std::size_t>(status.st_size) + 1, 0);
        std::size_t done = 0;
        bool failed = false;
        for (;;) {
            if (done == bytes.size())
                bytes.resize(bytes.size() * 2);
            ssize_t count = ::read(descriptor, bytes.data() + done, bytes.size() - done);
            if (count < 0 && errno == EINTR)
                continue;
            failed = count < 0;
            if (count <= 0)
                break;
            done += static_cast<std::size_t>(count);
        }
        if (!failed) {
            bytes.resize(done);
            content = std::move(bytes);
        }
    }
    ::close(descriptor);
    return content;
}

}

fs::path Files::homeDirectory()
{
    auto& shared = locations();
    std::lock_guard lock(shared.mutex);
    if (shared.home.empty())
        shared.home = defaultHome();
    return shared.home;
}

void Files::setHomeDirectory(fs::path path)
{
    auto& shared = locations();
    std::lock_guard lock(shared.mutex);
    shared.home = std::move(path);
}

std::optional<fs::path> Files::documentsDirectory()
{
    return openedAppFolder(homeDirectory() / "Documents");
}

std::optional<fs::path> Files::preferencesDirectory()
{
    return openedAppFolder(homeDirectory() / "Library" / "Preferences");
}

std::optional<fs::path> Files::applicationSupportDirectory()
{
    return existingDirectory(homeDirectory() / "Library" / "Application Support");
}

std::optional<fs::path> Files::cachesDirectory()
{
    return existingDirectory(homeDirectory() / "Library" / "Caches");
}

fs::path Files::bundleDirectory()
{
    auto& shared = locations();
    std::lock_guard lock(shared.mutex);
    if (shared.bundle.empty())
        shared.bundle = defaultBundle();
    return shared.bundle;
}

void Files::setBundleDirectory(fs::path path)
{
    auto& shared = locations();
    std::lock_guard lock(shared.mutex);
    shared.bundle = std::move(path);
}

std::optional<fs::path> Files::resourcePath(std::string_view name, std::string_view subfolder)
{
    fs::path path = bundleDirectory() / fs::path(subfolder) / fs::path(name);
    std::error_code error;
    if (name.empty() || !fs::is_regular_file(path, error))
        return std::nullopt;
    return path;
}

std::optional<std::string> Files::readText(const fs::path& path)
{
    auto text = readFile<std::string>(path);
    if (!text || !isValidUtf8(*text))
        return std::nullopt;
    return text;
}

std::optional<Bytes> Files::readBytes(const fs::path& path)
{
    return readFile<Bytes>(path);
}

bool Files::writeText(const fs::path& path, std::string_view text)
{
    return writeAtomically(path, text.data(), text.size());
}

bool Files::writeBytes(const fs::path& path, const Bytes& bytes)
{
    return writeAtomically(path, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

bool Files::copy(const fs::path& from, const fs::path& to)
{
    auto bytes = readBytes(from);
    return bytes && writeBytes(to, *bytes);
}

std::optional<fs::path> Files::moveAside(const fs::path& path)
{
    DateFormatter stamp("yyyyMMdd'T'HHmmss'Z'", "en_US_POSIX", "UTC");
    fs::path base = path;
    base += ".corrupt-" + stamp.format(now());
    fs::path target = base;
    for (int attempt = 2; exists(target); ++attempt) {
        target = base;
        target += "-" + std::to_string(attempt);
    }
    std::error_code error;
    fs::rename(path, target, error);
    return error ? std::nullopt : std::optional<fs::path>(target);
}

bool Files::remove(const fs::path& path)
{
    std::error_code error;
    return fs::remove(path, error);
}

bool Files::exists(const fs::path& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

bool Files::isDirectory(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

bool Files::createDirectories(const fs::path& path)
{
    return existingDirectory(path).has_value();
}

}
