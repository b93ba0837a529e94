#include "kit/analytics/EMBTallyEvent.h"

#include "kit/analytics/EMBAnalyticsLog.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Text.h"

namespace kit {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

// The value as a log line shows it: a string as it is, anything else as JSON.
std::string shown(const Value& value)
{
    return value.string() ? *value.string() : platform::foundation::toJson(value);
}

// The first `units` UTF-16 units of `text`, one fewer when the last would split a character.
std::string prefix(const std::string& text, std::size_t units)
{
    using platform::foundation::utf16Substring;
    if (auto whole = utf16Substring(text, { 0, units }))
        return *whole;
    return utf16Substring(text, { 0, units - 1 }).value_or(std::string());
}

}

EMBTallyEvent::EMBTallyEvent(std::string key, DictionaryRef metadata, const DictionaryRef& customAttributes)
    : m_key(std::move(key))
    , m_customAttributes(filterCustomAttributes(customAttributes))
    , m_predefinedAttributes(Dictionary::make())
    , m_metadata(std::move(metadata))
{
}

DictionaryRef EMBTallyEvent::payloadDictionary() const
{
    auto payload = m_metadata->shallowCopy();
    payload->set("predefined_attributes", m_predefinedAttributes->shallowCopy());
    payload->set("custom_attributes", m_customAttributes->shallowCopy());
    return payload;
}

DictionaryRef EMBTallyEvent::filterCustomAttributes(const DictionaryRef& attributes)
{
    auto filtered = Dictionary::make();
    if (attributes) {
        for (const auto& [key, value] : attributes->entries())
            addAttribute(value, key, *filtered);
    }
    return filtered;
}

void EMBTallyEvent::addAttribute(const Value& value, std::string_view key, Dictionary& dictionary)
{
    if (value.isNull())
        return;
    if (dictionary.size() >= kMaxAttributeCount) {
        EMBAnalyticsLog::write("Maximum number of Event attributes exceeded. Ignoring attribute");
        return;
    }
    if (!validAttributeValue(value)) {
        EMBAnalyticsLog::write("Event attribute values must be of type NSString or NSNumber. Ignoring entry "
            + std::string(key) + ":" + shown(value));
        return;
    }
    dictionary.set(*truncateAttribute(Value(key)).string(), truncateAttribute(value));
}

bool EMBTallyEvent::validAttributeValue(const Value& value)
{
    switch (value.type()) {
    case Value::Type::String:
    case Value::Type::Bool:
    case Value::Type::Integer:
    case Value::Type::Real:
        return true;
    default:
        return false;
    }
}

Value EMBTallyEvent::truncateAttribute(const Value& value)
{
    const std::string* text = value.string();
    if (!text || platform::foundation::utf16Length(*text) <= kMaxAttributeLength)
        return value;
    EMBAnalyticsLog::write("Maximum length for an Event attributes exceeded. Truncating to "
        + std::to_string(kMaxAttributeLength) + " characters.");
    return Value(prefix(*text, kMaxAttributeLength));
}

}
