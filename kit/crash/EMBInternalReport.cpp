#include "kit/crash/EMBInternalReport.h"

#include "kit/crash/capture/EMBFileReader.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Log.h"

#include <filesystem>

namespace kit {
namespace {

const std::vector<std::string> kSubmittableNames { "exception.embrecord", "signal.embrecord",
    "custom_exception_a.embrecord", "custom_exception_b.embrecord", "mach_exception.embrecord",
    "errors_a.embrecord", "errors_b.embrecord" };

bool exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

}

std::shared_ptr<EMBInternalReport> EMBInternalReport::reportWithPath(const std::string& path)
{
    auto sections = readMetadataAtPath(path + "/metadata.embrecord");
    std::optional<std::string> identifier;
    if (sections && !sections->empty()) {
        auto session = (*sections)[0]->get("identity").dictionary();
        if (session && session->get("session_id").string())
            identifier = *session->get("session_id").string();
    }
    if (!identifier) {
        platform::foundation::Log().write("[Ember:Crash] Unable to read identifier at path " + path);
        return nullptr;
    }
    auto report = std::make_shared<EMBInternalReport>(path, *identifier);
    report->m_metadataSections = std::move(sections);
    return report;
}

std::shared_ptr<EMBInternalReport> EMBInternalReport::reportWithPath(
    const std::string& path, const std::string& identifier)
{
    if (path.empty() || identifier.empty())
        return nullptr;
    return std::make_shared<EMBInternalReport>(path, identifier);
}

EMBInternalReport::EMBInternalReport(std::string path, std::string identifier)
    : m_path(std::move(path))
    , m_identifier(std::move(identifier))
{
}

std::string EMBInternalReport::directoryName() const
{
    return std::filesystem::path(m_path).filename().string();
}

bool EMBInternalReport::needsToBeSubmitted() const
{
    for (const auto& name : kSubmittableNames)
        if (exists(pathForContentFile(name)))
            return true;
    return false;
}

const std::vector<std::string>& EMBInternalReport::crashFilenames()
{
    static const std::vector<std::string> names { "exception.embrecord", "mach_exception.embrecord",
        "signal.embrecord" };
    return names;
}

bool EMBInternalReport::isCrash() const
{
    for (const auto& name : crashFilenames())
        if (exists(pathForContentFile(name)))
            return true;
    return false;
}

void EMBInternalReport::enumerateSymbolicatableFilesInContent(
    const std::function<void(const std::string&)>& block) const
{
    for (const auto& name : crashFilenames())
        block(pathForContentFile(name));
}

std::optional<std::vector<platform::foundation::DictionaryRef>> EMBInternalReport::readMetadataAtPath(
    const std::string& path)
{
    auto sections = EMBFileReadSections(path, false);
    if (!sections || sections->records.empty())
        return std::nullopt;
    return std::move(sections->records);
}

std::optional<platform::foundation::Date> EMBInternalReport::dateCreated() const
{
    auto seconds = metadataValue(0, "identity", "started_at").integer();
    if (!seconds || *seconds < 0)
        return std::nullopt;
    return platform::foundation::Date { static_cast<double>(*seconds) };
}

platform::foundation::Value EMBInternalReport::metadataValue(
    std::size_t section, const char* name, const char* key) const
{
    if (!m_metadataSections)
        m_metadataSections = readMetadataAtPath(metadataPath());
    if (!m_metadataSections || section >= m_metadataSections->size())
        return {};
    auto object = (*m_metadataSections)[section]->get(name).dictionary();
    return object ? object->get(key) : platform::foundation::Value();
}

std::optional<std::string> EMBInternalReport::metadataString(
    std::size_t section, const char* name, const char* key) const
{
    auto value = metadataValue(section, name, key);
    if (!value.string())
        return std::nullopt;
    return *value.string();
}

}
