#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kit {

/// One record of an event log file: a priority, a time in milliseconds since 1970, a key and an optional
/// payload, all fixed at creation.
///
/// Its line (eventData()) is the timestamp in decimal, a tab and the key; with a payload, then a tab, the
/// payload's length in bytes in decimal, a tab and the payload's bytes unchanged; and a line feed. The length
/// makes the payload self-delimiting: a reader never relies on it being free of tabs or line feeds.
class EMBEventLogEvent {
public:
    /// The priorities, which are also the digits of the log files' names.
    static constexpr std::uint64_t kHighPriority { 0 };
    static constexpr std::uint64_t kMediumPriority { 1 };
    static constexpr std::uint64_t kLowPriority { 2 };

    /// An event with a copy of `key` and `payload` (none: a line without the length field).
    EMBEventLogEvent(std::uint64_t priority, std::uint64_t timestamp, std::string key,
        std::optional<platform::foundation::Bytes> payload = std::nullopt);
    virtual ~EMBEventLogEvent() = default;

    std::uint64_t priority() const { return m_priority; }
    /// Milliseconds since 1970.
    std::uint64_t timestamp() const { return m_timestamp; }
    const std::string& key() const { return m_key; }
    const std::optional<platform::foundation::Bytes>& payload() const { return m_payload; }

    /// The event's line in the event log, line feed included (see the class comment).
    platform::foundation::Bytes eventData() const;

    /// Equal priority, timestamp and key, and both payloads absent or equal (whatever the classes).
    bool operator==(const EMBEventLogEvent& other) const;
    /// priority + 2 × timestamp + 4 × hash(key) + 8 × hash(payload), wrapping; no payload adds 0.
    std::uint64_t hash() const;

    /// The event as a log line shows it.
    virtual std::string description() const;

private:
    std::uint64_t m_priority { 0 };
    std::uint64_t m_timestamp { 0 };
    std::string m_key;
    std::optional<platform::foundation::Bytes> m_payload;
};

}
