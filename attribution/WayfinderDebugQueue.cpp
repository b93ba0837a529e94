#include "attribution/WayfinderDebugQueue.h"

#include "attribution/WayfinderTracker.h"
#include "attribution/WayfinderUtils.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"

#include <cstdio>

namespace attribution {

using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

constexpr double kSecondsPerDay { 86400 };

std::string timeOfDay()
{
    return platform::foundation::DateFormatter("HH:mm:ss").format(platform::foundation::now());
}

// Seconds since midnight of a "HH:mm:ss" text, or nullopt.
std::optional<int> secondsOfDay(const std::string& text)
{
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%d", &hours, &minutes, &seconds) != 3)
        return std::nullopt;
    return hours * 3600 + minutes * 60 + seconds;
}

// `text` percent-encoded but for the characters a URL's host part may hold as they are.
std::string hostEncoded(const std::string& text)
{
    static const std::string allowed { "!$&'()*+,;=:[]-._~" };
    std::string result;
    char escape[4];
    for (unsigned char c : text) {
        if (std::isalnum(c) || allowed.find(static_cast<char>(c)) != std::string::npos) {
            result += static_cast<char>(c);
            continue;
        }
        std::snprintf(escape, sizeof escape, "%%%02X", c);
        result += escape;
    }
    return result;
}

}

WayfinderDebugQueue& WayfinderDebugQueue::sharedManager()
{
    // Never destroyed: a request's completion may still reach it while the process ends.
    static auto* queue = new WayfinderDebugQueue;
    return *queue;
}

WayfinderDebugQueue::WayfinderDebugQueue()
    : m_actions(Array::make())
{
}

std::int32_t WayfinderDebugQueue::logWithName(const std::string& name, const Value& data)
{
    std::lock_guard lock(m_mutex);
    auto id = ++m_counter;
    m_actions->append(
        Dictionary::make({ { "name", name }, { "time", timeOfDay() }, { "data", data }, { "id", id } }));
    return id;
}

DictionaryRef WayfinderDebugQueue::entry(std::int32_t id) const
{
    for (const auto& action : *m_actions) {
        auto record = action.dictionary();
        if (record && record->get("id").integer() == id)
            return record;
    }
    return nullptr;
}

void WayfinderDebugQueue::updateAction(std::int32_t id, const platform::foundation::Error& error)
{
    std::lock_guard lock(m_mutex);
    if (auto record = entry(id)) {
        record->set("error", error.localizedDescription());
        record->set("status", "error");
    }
}

void WayfinderDebugQueue::updateActionSuccess(std::int32_t id)
{
    std::lock_guard lock(m_mutex);
    auto record = entry(id);
    if (!record)
        return;
    record->set("status", "success");
    auto started = secondsOfDay(record->get("time").stringValue());
    auto ended = secondsOfDay(timeOfDay());
    double roundTrip = 0;
    if (started && ended) {
        roundTrip = *ended - *started;
        if (roundTrip < 0)
            roundTrip += kSecondsPerDay;
    }
    record->set("roundTrip", roundTrip);
}

std::string WayfinderDebugQueue::getJSONAndClear()
{
    auto bundle = platform::foundation::Bundle::main();
    std::lock_guard lock(m_mutex);
    auto report = Dictionary::make({ { "actions", m_actions->deepCopy() },
        { "appVersion", bundle->objectForInfoDictionaryKey("CFBundleVersion") },
        { "appName", bundle->objectForInfoDictionaryKey("CFBundleDisplayName") },
        { "platformExtension", WayfinderUtils::develomentPlatformName() } });
    auto text = platform::foundation::toJson(Value(report));
    if (WayfinderTracker::sharedTracker().isDebug())
        platform::foundation::Log().write("JSON: " + text);
    m_actions->removeAll();
    return hostEncoded(text);
}

platform::foundation::ArrayRef WayfinderDebugQueue::actions() const
{
    std::lock_guard lock(m_mutex);
    return m_actions->deepCopy();
}

void WayfinderDebugQueue::setActions(const platform::foundation::ArrayRef& actions)
{
    std::lock_guard lock(m_mutex);
    m_actions = actions ? actions->deepCopy() : Array::make();
}

}
