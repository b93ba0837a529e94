#pragma once

#include "kit/analytics/EMBEventLogEvent.h"

#include "platform/foundation/Value.h"

#include <string>

namespace kit {

class EMBTallyEvent;

/// An analytics event: an event-log event with an identifier whose payload is the compact JSON of its
/// values with the identifier added as "eventId" (a lifecycle event's payload is {"eventId": ...} alone).
class EMBAnalyticsEvent : public EMBEventLogEvent {
public:
    /// The payload member that carries the identifier.
    static constexpr const char* kEventIdentifierKey { "eventId" };

    /// An event of `key` with a deep copy of `payloadValues` (null: none) and `eventIdentifier`.
    EMBAnalyticsEvent(std::uint64_t priority, std::uint64_t timestamp, std::string key,
        std::string eventIdentifier, const platform::foundation::DictionaryRef& payloadValues = nullptr);
    /// The low-priority event of a Tally event: its key ("custom" or "predefined") and its payload
    /// dictionary as the values.
    EMBAnalyticsEvent(const EMBTallyEvent& tallyEvent, std::uint64_t timestamp, std::string eventIdentifier);

    const std::string& eventIdentifier() const { return m_eventIdentifier; }
    /// The values as given, without "eventId" (never null).
    const platform::foundation::DictionaryRef& stringPayloadValueDict() const { return m_values; }

    /// "<class> {id=<identifier>, key=<key>, stringPayloadValueDict=<values as JSON>}".
    std::string description() const override;

protected:
    /// The class name description() begins with.
    virtual const char* className() const { return "EMBAnalyticsEvent"; }

private:
    std::string m_eventIdentifier;
    platform::foundation::DictionaryRef m_values;
};

}
