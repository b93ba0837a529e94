#include "kit/analytics/EMBEventLogEvent.h"

#include <functional>
#include <string_view>

namespace kit {

using platform::foundation::Bytes;

EMBEventLogEvent::EMBEventLogEvent(
    std::uint64_t priority, std::uint64_t timestamp, std::string key, std::optional<Bytes> payload)
    : m_priority(priority)
    , m_timestamp(timestamp)
    , m_key(std::move(key))
    , m_payload(std::move(payload))
{
}

Bytes EMBEventLogEvent::eventData() const
{
    std::string head = std::to_string(m_timestamp) + '\t' + m_key;
    if (m_payload)
        head += '\t' + std::to_string(m_payload->size()) + '\t';
    Bytes line(head.begin(), head.end());
    if (m_payload)
        line.insert(line.end(), m_payload->begin(), m_payload->end());
    line.push_back('\n');
    return line;
}

bool EMBEventLogEvent::operator==(const EMBEventLogEvent& other) const
{
    return m_priority == other.m_priority && m_timestamp == other.m_timestamp && m_key == other.m_key
        && m_payload == other.m_payload;
}

std::uint64_t EMBEventLogEvent::hash() const
{
    std::uint64_t payloadHash = 0;
    if (m_payload) {
        std::string_view bytes(reinterpret_cast<const char*>(m_payload->data()), m_payload->size());
        payloadHash = std::hash<std::string_view> {}(bytes);
    }
    return m_priority + 2 * m_timestamp + 4 * std::uint64_t { std::hash<std::string> {}(m_key) }
    + 8 * payloadHash;
}

std::string EMBEventLogEvent::description() const
{
    std::string text = "EMBEventLogEvent {priority=" + std::to_string(m_priority)
        + ", timestamp=" + std::to_string(m_timestamp) + ", key=" + m_key;
    if (m_payload)
        text += ", payload=" + std::to_string(m_payload->size()) + " bytes";
    return text + "}";
}

}
