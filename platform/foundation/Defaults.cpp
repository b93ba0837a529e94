#include "platform/foundation/Defaults.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"

namespace platform::foundation {

Defaults::Defaults(std::filesystem::path file)
    : m_file(std::move(file))
    , m_values(Dictionary::make())
{
    if (!Files::exists(m_file))
        return;
    std::string failure = "it cannot be read as UTF-8 text";
    if (auto text = Files::readText(m_file)) {
        JsonResult result = parseJson(*text);
        if (result.ok() && result.value.dictionary()) {
            m_values = result.value.dictionary();
            return;
        }
        failure = result.ok() ? "it holds no JSON object" : result.error;
    }
    // Kept for a person to look at, rather than overwritten at the next change.
    auto moved = Files::moveAside(m_file);
    Log("[Defaults]")
        .write("The settings file " + m_file.filename().string() + " could not be read (" + failure + "); "
            + (moved ? "it was moved to " + moved->filename().string() : "it could not be moved aside")
            + " and the settings start empty");
}

std::shared_ptr<Defaults> Defaults::standard()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* mutex = new std::mutex;
    static auto* shared = new std::shared_ptr<Defaults>;
    std::filesystem::path folder
        = Files::preferencesDirectory().value_or(Files::homeDirectory() / "Library" / "Preferences");
    std::filesystem::path file = folder / "defaults.json";
    std::lock_guard lock(*mutex);
    if (!*shared || (*shared)->file() != file)
        *shared = std::make_shared<Defaults>(file);
    return *shared;
}

Value Defaults::value(std::string_view key) const
{
    std::lock_guard lock(m_mutex);
    return m_values->get(key).deepCopy();
}

bool Defaults::setValue(std::string_view key, Value value)
{
    std::lock_guard lock(m_mutex);
    m_values->set(key, value.deepCopy());
    return saveLocked();
}

bool Defaults::remove(std::string_view key)
{
    return setValue(key, nullptr);
}

std::optional<std::string> Defaults::string(std::string_view key) const
{
    Value stored = value(key);
    if (const std::string* text = stored.string())
        return *text;
    return std::nullopt;
}

std::int64_t Defaults::integer(std::string_view key) const
{
    return value(key).integerValue();
}

double Defaults::real(std::string_view key) const
{
    return value(key).doubleValue();
}

bool Defaults::boolean(std::string_view key) const
{
    return value(key).boolValue();
}

std::optional<Date> Defaults::date(std::string_view key) const
{
    Value stored = value(key);
    if (auto date = stored.date())
        return date;
    if (stored.type() == Value::Type::Integer || stored.type() == Value::Type::Real)
        return Date { *stored.number() };
    return std::nullopt;
}

bool Defaults::save() const
{
    std::lock_guard lock(m_mutex);
    return saveLocked();
}

bool Defaults::saveLocked() const
{
    return Files::writeText(m_file, toJson(Value(m_values)));
}

}
