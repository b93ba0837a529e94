#include "platform/outside/Pulse.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Uuid.h"

#include <fstream>

namespace platform::outside {

using foundation::Dictionary;
using foundation::DictionaryRef;

namespace {

struct Shared {
    std::mutex mutex;
    std::shared_ptr<Pulse> instance;
    std::filesystem::path recordFile;
};

Shared& shared()
{
    static Shared state;
    return state;
}

std::string jsonLine(const PulseRecord& record)
{
    auto object = Dictionary::make({
        { "kind", record.kind == PulseRecord::Kind::Track ? "track" : "people_set" },
        { "token", record.token },
        { "distinct_id", record.distinctId },
        { "properties", record.properties },
        { "time", record.time.secondsSince1970 },
    });
    if (record.kind == PulseRecord::Kind::Track)
        object->set("event", record.event);
    return foundation::toJson(object) + "\n";
}

PulseRecord copied(const PulseRecord& record)
{
    auto copy = record;
    copy.properties = record.properties->deepCopy();
    return copy;
}

}

void PulsePeople::set(const DictionaryRef& properties)
{
    m_pulse.record(
        PulseRecord::Kind::PeopleSet, {}, properties ? properties->deepCopy() : Dictionary::make());
}

std::shared_ptr<Pulse> Pulse::sharedInstanceWithToken(const std::string& token)
{
    auto& state = shared();
    std::lock_guard lock(state.mutex);
    if (!state.instance || state.instance->token() != token)
        state.instance = std::make_shared<Pulse>(token);
    return state.instance;
}

std::shared_ptr<Pulse> Pulse::sharedInstance()
{
    auto& state = shared();
    std::lock_guard lock(state.mutex);
    return state.instance;
}

void Pulse::resetSharedInstance()
{
    auto& state = shared();
    std::lock_guard lock(state.mutex);
    state.instance = nullptr;
}

void Pulse::setRecordFile(std::filesystem::path path)
{
    auto& state = shared();
    std::lock_guard lock(state.mutex);
    state.recordFile = std::move(path);
}

std::filesystem::path Pulse::recordFile()
{
    auto& state = shared();
    std::lock_guard lock(state.mutex);
    return state.recordFile;
}

Pulse::Pulse(std::string token)
    : m_token(std::move(token))
    , m_distinctId(foundation::Uuid::random().string())
    , m_superProperties(Dictionary::make())
{
}

std::string Pulse::distinctId() const
{
    std::lock_guard lock(m_mutex);
    return m_distinctId;
}

void Pulse::registerSuperProperties(const DictionaryRef& properties)
{
    if (!properties)
        return;
    std::lock_guard lock(m_mutex);
    m_superProperties->addEntries(*properties->deepCopy());
}

DictionaryRef Pulse::superProperties() const
{
    std::lock_guard lock(m_mutex);
    return m_superProperties->deepCopy();
}

void Pulse::identify(const std::string& distinctId)
{
    std::lock_guard lock(m_mutex);
    m_distinctId = distinctId;
}

void Pulse::track(const std::string& event, const DictionaryRef& properties)
{
    auto sent = superProperties();
    if (properties)
        sent->addEntries(*properties->deepCopy());
    record(PulseRecord::Kind::Track, event, sent);
}

std::vector<PulseRecord> Pulse::records() const
{
    std::lock_guard lock(m_mutex);
    std::vector<PulseRecord> copies;
    copies.reserve(m_records.size());
    for (const auto& record : m_records)
        copies.push_back(copied(record));
    return copies;
}

void Pulse::record(PulseRecord::Kind kind, std::string event, DictionaryRef properties)
{
    auto file = recordFile();
    std::lock_guard lock(m_mutex);
    PulseRecord record { kind, m_token, m_distinctId, std::move(event), std::move(properties),
        foundation::now() };
    if (!file.empty())
        std::ofstream(file, std::ios::app) << jsonLine(record);
    m_records.push_back(std::move(record));
}

}
