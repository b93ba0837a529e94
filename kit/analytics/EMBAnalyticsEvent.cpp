#include "kit/analytics/EMBAnalyticsEvent.h"

#include "kit/analytics/EMBTallyEvent.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

namespace kit {

using platform::foundation::Bytes;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

namespace {

DictionaryRef copyOf(const DictionaryRef& values)
{
    return values ? values->deepCopy() : Dictionary::make();
}

Bytes payloadOf(const DictionaryRef& values, const std::string& eventIdentifier)
{
    auto members = values ? values->shallowCopy() : Dictionary::make();
    members->set(EMBAnalyticsEvent::kEventIdentifierKey, eventIdentifier);
    auto json = platform::foundation::toJson(members);
    return Bytes(json.begin(), json.end());
}

}

EMBAnalyticsEvent::EMBAnalyticsEvent(std::uint64_t priority, std::uint64_t timestamp, std::string key,
    std::string eventIdentifier, const DictionaryRef& payloadValues)
    : EMBEventLogEvent(priority, timestamp, std::move(key), payloadOf(payloadValues, eventIdentifier))
    , m_eventIdentifier(std::move(eventIdentifier))
    , m_values(copyOf(payloadValues))
{
}

EMBAnalyticsEvent::EMBAnalyticsEvent(
    const EMBTallyEvent& tallyEvent, std::uint64_t timestamp, std::string eventIdentifier)
    : EMBAnalyticsEvent(
        kLowPriority, timestamp, tallyEvent.key(), std::move(eventIdentifier), tallyEvent.payloadDictionary())
{
}

std::string EMBAnalyticsEvent::description() const
{
    return std::string(className()) + " {id=" + m_eventIdentifier + ", key=" + key()
        + ", stringPayloadValueDict=" + platform::foundation::toJson(m_values) + "}";
}

}
