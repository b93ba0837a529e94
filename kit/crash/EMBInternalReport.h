#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/Value.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kit {

/// One report directory as the report pipeline sees it: its identity, its record files and the metadata the
/// crashing launch wrote.
class EMBInternalReport {
public:
    /// The report in `path`, identified by its metadata's "session_id"; null (logged) when the metadata is
    /// missing or damaged.
    static std::shared_ptr<EMBInternalReport> reportWithPath(const std::string& path);
    /// A report for a directory whose metadata is not written yet (this launch's); null unless both given.
    static std::shared_ptr<EMBInternalReport> reportWithPath(
        const std::string& path, const std::string& identifier);

    EMBInternalReport(std::string path, std::string identifier);

    const std::string& identifier() const { return m_identifier; }
    const std::string& path() const { return m_path; }
    /// Points the report at the directory it was moved to.
    void setPath(std::string path) { m_path = std::move(path); }

    /// The directory's own name.
    std::string directoryName() const;
    std::string pathForContentFile(const std::string& name) const { return m_path + "/" + name; }
    std::string metadataPath() const { return pathForContentFile("metadata.embrecord"); }
    std::string binaryImagePath() const { return pathForContentFile("binary_images.embrecord"); }

    /// Whether the directory holds a crash, an error or a custom exception worth sending.
    bool needsToBeSubmitted() const;
    /// The crash record names, in the order they are read: exception, Mach exception, signal.
    static const std::vector<std::string>& crashFilenames();
    /// Whether one of the crash records exists.
    bool isCrash() const;
    /// Calls `block` with the full path of each crash record name, whether or not the file exists.
    void enumerateSymbolicatableFilesInContent(const std::function<void(const std::string&)>& block) const;

    /// All records of a metadata file in file order; null when it yields none.
    static std::optional<std::vector<platform::foundation::DictionaryRef>> readMetadataAtPath(
        const std::string& path);

    std::optional<std::string> APIKey() const { return metadataString(0, "identity", "api_key"); }
    /// When the crashing launch started.
    std::optional<platform::foundation::Date> dateCreated() const;
    std::optional<std::string> OSVersion() const { return metadataString(1, "host", "os_display_version"); }
    std::optional<std::string> OSBuildVersion() const
    {
        return metadataString(1, "host", "os_build_version");
    }
    std::optional<std::string> bundleVersion() const
    {
        return metadataString(2, "application", "build_version");
    }
    std::optional<std::string> bundleShortVersionString() const
    {
        return metadataString(2, "application", "display_version");
    }

private:
    platform::foundation::Value metadataValue(std::size_t section, const char* name, const char* key) const;
    std::optional<std::string> metadataString(std::size_t section, const char* name, const char* key) const;

    std::string m_path;
    std::string m_identifier;
    mutable std::optional<std::vector<platform::foundation::DictionaryRef>> m_metadataSections;
};

}
