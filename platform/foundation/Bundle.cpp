#include "platform/foundation/Bundle.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/StringsTable.h"

#include <sys/stat.h>

#include <mutex>

namespace platform::foundation {

namespace {

// What identifies one version of a bundle's Info.plist without reading it.
struct Stamp {
    std::filesystem::path directory;
    ::dev_t device { 0 };
    ::ino_t inode { 0 };
    ::off_t size { -1 };
    std::int64_t modified { 0 };

    bool operator==(const Stamp&) const = default;
};

Stamp stampOf(const std::filesystem::path& directory)
{
    Stamp stamp { directory };
    struct stat status { };
    if (::stat((directory / "Info.plist").c_str(), &status) == 0) {
        stamp.device = status.st_dev;
        stamp.inode = status.st_ino;
        stamp.size = status.st_size;
        stamp.modified = std::int64_t { status.st_mtim.tv_sec } * 1'000'000'000 + status.st_mtim.tv_nsec;
    }
    return stamp;
}

}

Bundle::Bundle(std::filesystem::path directory)
    : m_path(std::move(directory))
{
    if (auto bytes = Files::readBytes(m_path / "Info.plist")) {
        if (auto value = PropertyList::read(*bytes))
            m_info = value->dictionary();
    }
    if (!m_info)
        m_info = Dictionary::make();
}

std::shared_ptr<const Bundle> Bundle::main()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* mutex = new std::mutex;
    static auto* cachedStamp = new Stamp;
    static auto* cached = new std::shared_ptr<const Bundle>;
    Stamp stamp = stampOf(Files::bundleDirectory());
    std::lock_guard lock(*mutex);
    if (!*cached || !(stamp == *cachedStamp)) {
        *cached = std::make_shared<const Bundle>(stamp.directory);
        *cachedStamp = stamp;
    }
    return *cached;
}

Value Bundle::objectForInfoDictionaryKey(std::string_view key) const
{
    return m_info->get(key);
}

std::optional<std::string> Bundle::bundleIdentifier() const
{
    Value identifier = m_info->get("CFBundleIdentifier");
    if (const auto* text = identifier.string())
        return *text;
    return std::nullopt;
}

std::string Bundle::localizedString(
    std::string_view key, std::string_view value, std::string_view table) const
{
    if (auto text = Files::readText(m_path / "en.lproj" / (std::string(table) + ".strings"))) {
        if (auto entries = parseStringsTable(*text)) {
            if (auto found = entries->find(std::string(key)); found != entries->end())
                return found->second;
        }
    }
    return std::string(value);
}

}
