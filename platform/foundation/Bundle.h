#pragma once

#include "platform/foundation/Value.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// The app's bundle: its resource folder and the information dictionary read from the folder's
/// "Info.plist" (XML or binary). A missing or malformed Info.plist reads as an empty dictionary.
/// Immutable once made, so it may be shared between threads.
class Bundle {
public:
    /// The bundle in `directory`, reading its Info.plist now.
    explicit Bundle(std::filesystem::path directory);

    /// The app's bundle: the resource folder of Files::bundleDirectory(). Read again when that folder
    /// moves or its Info.plist changes, so a test may point the app at a bundle of its own.
    static std::shared_ptr<const Bundle> main();

    /// The bundle's folder.
    const std::filesystem::path& bundlePath() const { return m_path; }

    /// The information dictionary (never null). It is the bundle's own: callers must not change it.
    const DictionaryRef& infoDictionary() const { return m_info; }

    /// The information dictionary's value under `key`, or null.
    Value objectForInfoDictionaryKey(std::string_view key) const;

    /// "CFBundleIdentifier", or nullopt when it holds no string.
    std::optional<std::string> bundleIdentifier() const;

    /// The text of `key` in the localisation table `table` ("en.lproj/<table>.strings" in the bundle's
    /// folder), or `value` when the table has no such key or cannot be read.
    std::string localizedString(std::string_view key, std::string_view value, std::string_view table) const;

    /// Where the store receipt would be: the file "receipt" in the bundle's folder.
    std::filesystem::path appStoreReceiptPath() const { return m_path / "receipt"; }

private:
    std::filesystem::path m_path;
    DictionaryRef m_info;
};

}
