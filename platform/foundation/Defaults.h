#pragma once

#include "platform/foundation/Value.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// A store of small settings under string keys, kept as a JSON object in one
/// file. Every change is written at once, by replacing the file whole, so a
/// crash leaves the old settings or the new ones. A missing file reads as
/// empty; a damaged one (not a JSON object) is moved aside as
/// Files::moveAside() does, with a log line, and the settings start empty.
/// Values of JSON's kinds come back as they went in (booleans, integers and
/// reals stay apart); a date comes back through date() and bytes as their
/// base64 text; containers are copied in and out, never shared. Thread-safe.
class Defaults {
public:
    /// The store kept in `file`, reading what the file holds now.
    explicit Defaults(std::filesystem::path file);

    /// The app's standard store, "defaults.json" in the home folder's
    /// Library/Preferences (see Files). When the home folder moves, the next
    /// call gives the store of the new folder.
    static std::shared_ptr<Defaults> standard();

    /// The file the store is kept in.
    const std::filesystem::path& file() const { return m_file; }

    /// The value under `key`, or null.
    Value value(std::string_view key) const;

    /// Stores `value` under `key` (null removes the key) and writes the file.
    /// Returns false when the file could not be written; the value is held
    /// in memory all the same and written with the next change.
    bool setValue(std::string_view key, Value value);

    /// Removes `key` and writes the file, as setValue(key, nullptr).
    bool remove(std::string_view key);

    /// The string under `key`, or nullopt when the key holds no string.
    std::optional<std::string> string(std::string_view key) const;

    /// The value under `key` read leniently as an integer, a real, a boolean
    /// (numeric strings convert; anything else reads as 0 / false).
    std::int64_t integer(std::string_view key) const;
    double real(std::string_view key) const;
    bool boolean(std::string_view key) const;

    /// The date under `key` (stored as a date, or as seconds since 1970),
    /// or nullopt.
    std::optional<Date> date(std::string_view key) const;

    /// Writes the file again. Returns false when it could not be written.
    bool save() const;

private:
    bool saveLocked() const;

    std::filesystem::path m_file;
    mutable std::mutex m_mutex;
    DictionaryRef m_values;
};

}
