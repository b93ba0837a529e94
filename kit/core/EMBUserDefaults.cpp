#include "kit/core/EMBUserDefaults.h"

#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"

#include <chrono>
#include <system_error>

namespace kit {

namespace fs = std::filesystem;
using platform::foundation::Defaults;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Files;
using platform::foundation::PropertyList;
using platform::foundation::Value;

namespace {

const platform::foundation::Log& log()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static const auto* shared = new platform::foundation::Log("[Cairn:UserDefaults]");
    return *shared;
}

fs::path applicationSupportFolder()
{
    return Files::applicationSupportDirectory().value_or(
               Files::homeDirectory() / "Library" / "Application Support")
        / "com.ember";
}

// A name beside `file` for a damaged copy, unique enough that an earlier one is kept.
fs::path asidePath(const fs::path& file)
{
    auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return file.parent_path() / (file.filename().string() + ".damaged-" + std::to_string(now.count()));
}

}

EMBUserDefaults::EMBUserDefaults(fs::path directory)
    : m_directory(std::move(directory))
    , m_file(m_directory / "EMBUserDefaults.plist")
{
    std::lock_guard access(m_accessMutex);
    m_dataDictionary = load();
}

std::shared_ptr<EMBUserDefaults> EMBUserDefaults::standardUserDefaults()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* mutex = new std::mutex;
    static auto* shared = new std::shared_ptr<EMBUserDefaults>;
    fs::path folder = applicationSupportFolder();
    std::lock_guard lock(*mutex);
    if (!*shared || (*shared)->directoryURL() != folder)
        *shared = std::make_shared<EMBUserDefaults>(folder);
    return *shared;
}

DictionaryRef EMBUserDefaults::load()
{
    std::lock_guard io(m_ioMutex);
    std::error_code error;
    auto status = fs::symlink_status(m_file, error);
    if (status.type() == fs::file_type::directory) {
        log().write("found directory where file expected. Removing conflicting directory");
        fs::remove_all(m_file, error);
        if (error)
            log().write("error removing conflicting directory: {error = " + error.message() + "}");
        return Dictionary::make();
    }
    if (!fs::is_regular_file(m_file, error))
        return Dictionary::make();
    auto bytes = Files::readBytes(m_file);
    auto value = bytes ? PropertyList::read(*bytes) : std::nullopt;
    if (value && value->dictionary())
        return value->dictionary();
    // Writing over it at the next synchronize would lose what it holds (the installation identifier among
    // it): keep it aside for whoever can still read it.
    fs::path aside = asidePath(m_file);
    fs::rename(m_file, aside, error);
    log().write("failed to read existing UserDefaults file; "
        + (error ? "could not move it aside: " + error.message() : "moved it to " + aside.string()));
    return Dictionary::make();
}

Value EMBUserDefaults::objectForKey(std::string_view key) const
{
    std::lock_guard access(m_accessMutex);
    return m_dataDictionary->get(key).deepCopy();
}

std::optional<std::string> EMBUserDefaults::stringForKey(std::string_view key) const
{
    Value value = objectForKey(key);
    if (const auto* text = value.string())
        return *text;
    return std::nullopt;
}

bool EMBUserDefaults::boolForKey(std::string_view key) const
{
    Value value = objectForKey(key);
    switch (value.type()) {
    case Value::Type::Bool:
    case Value::Type::Integer:
    case Value::Type::Real:
        return value.boolValue();
    default:
        return false;
    }
}

void EMBUserDefaults::setObject(std::string_view key, Value value)
{
    Value copy = value.deepCopy();
    std::lock_guard access(m_accessMutex);
    m_dataDictionary->set(key, std::move(copy));
}

void EMBUserDefaults::setString(std::string_view key, std::string value)
{
    setObject(key, Value(std::move(value)));
}

void EMBUserDefaults::setBool(std::string_view key, bool value)
{
    setObject(key, Value(value));
}

void EMBUserDefaults::removeObjectForKey(std::string_view key)
{
    setObject(key, nullptr);
}

void EMBUserDefaults::removeAllObjects()
{
    std::lock_guard access(m_accessMutex);
    m_dataDictionary = Dictionary::make();
}

DictionaryRef EMBUserDefaults::dictionaryRepresentation() const
{
    std::lock_guard access(m_accessMutex);
    return m_dataDictionary->deepCopy();
}

bool EMBUserDefaults::synchronize()
{
    DictionaryRef values = dictionaryRepresentation();
    std::lock_guard io(m_ioMutex);
    std::error_code error;
    if (!fs::is_directory(m_directory, error) && !fs::create_directories(m_directory, error)) {
        log().write(
            "failed to create directory with error:" + error.message() + " (" + m_directory.string() + ")");
        return false;
    }
    auto text = PropertyList::xml(Value(values));
    if (!text || !Files::writeText(m_file, *text)) {
        log().write("Unable to open file for writing at path " + m_file.string());
        return false;
    }
    return true;
}

Value EMBUserDefaults::objectForKeyByMigratingFromNSUserDefaults(std::string_view key)
{
    if (key.empty())
        return nullptr;
    Value value = objectForKey(key);
    if (!value.isNull())
        return value;
    auto standard = Defaults::standard();
    value = standard->value(key);
    if (value.isNull())
        return nullptr;
    setObject(key, value);
    synchronize();
    standard->remove(key);
    return value;
}

void EMBUserDefaults::migrateFromNSUserDefaults(const std::vector<std::string>& keys)
{
    auto standard = Defaults::standard();
    bool copied = false;
    for (const auto& key : keys) {
        Value value = standard->value(key);
        if (value.isNull())
            continue;
        setObject(key, value);
        copied = true;
    }
    if (!copied)
        return;
    synchronize();
    for (const auto& key : keys)
        standard->remove(key);
}

}
