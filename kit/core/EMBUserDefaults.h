#pragma once

#include "platform/foundation/Value.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

/// The kits' own key-value store, apart from the app's standard defaults: values of property-list kinds
/// held in memory and written, on synchronize(), as the XML property list "EMBUserDefaults.plist" in the
/// folder "com.ember" of Application Support.
///
/// The file is replaced whole (a temporary file, flushed, renamed over it), so a process killed while it
/// synchronises leaves the old file or the new one. A file that cannot be read is moved aside (and logged)
/// rather than overwritten, and the store starts empty. Failures are logged with the prefix
/// "[Cairn:UserDefaults]", never raised. Thread-safe: values and the file each have a lock of their own, and
/// the file's is never held while waiting for the values'.
class EMBUserDefaults {
public:
    /// The key of the installation identifier.
    static constexpr const char* kInstallationIdentifierKey { "com.ember.iuuid" };

    /// The store in `directory` ("Application Support/com.ember" for the app's), loading its file now.
    explicit EMBUserDefaults(std::filesystem::path directory);

    /// The process's store in the app's Application Support folder, made on first use; when the app's home
    /// folder moves (tests), the next call gives the store of the new folder.
    static std::shared_ptr<EMBUserDefaults> standardUserDefaults();

    const std::filesystem::path& directoryURL() const { return m_directory; }
    const std::filesystem::path& fileURL() const { return m_file; }

    /// The value under `key` (a copy), or null.
    platform::foundation::Value objectForKey(std::string_view key) const;
    /// The value under `key` when it is a string.
    std::optional<std::string> stringForKey(std::string_view key) const;
    /// The value under `key` read as a boolean when it is a boolean or a number; else false.
    bool boolForKey(std::string_view key) const;

    /// Stores a copy of `value` under `key`; null removes the key. In memory until synchronize().
    void setObject(std::string_view key, platform::foundation::Value value);
    void setString(std::string_view key, std::string value);
    void setBool(std::string_view key, bool value);
    void removeObjectForKey(std::string_view key);
    void removeAllObjects();

    /// A copy of every value.
    platform::foundation::DictionaryRef dictionaryRepresentation() const;

    /// Writes every value to the file, creating the folder when missing, and returns once it is written:
    /// true when it was.
    bool synchronize();

    /// The value under `key`; when this store has none and the app's standard defaults hold one, the value
    /// moves here (both stores written) and is returned.
    platform::foundation::Value objectForKeyByMigratingFromNSUserDefaults(std::string_view key);

    /// Moves every key of `keys` that the app's standard defaults hold into this store.
    void migrateFromNSUserDefaults(const std::vector<std::string>& keys);

private:
    platform::foundation::DictionaryRef load();

    std::filesystem::path m_directory;
    std::filesystem::path m_file;
    mutable std::mutex m_accessMutex;
    std::mutex m_ioMutex;
    platform::foundation::DictionaryRef m_dataDictionary;
};

}
