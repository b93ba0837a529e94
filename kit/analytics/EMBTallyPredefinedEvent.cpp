#include "kit/analytics/EMBTallyPredefinedEvent.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

namespace kit {

using platform::foundation::DecimalNumber;
using platform::foundation::Dictionary;
using platform::foundation::Value;

EMBTallyPredefinedEvent::EMBTallyPredefinedEvent(
    const char* className, std::string type, const platform::foundation::DictionaryRef& customAttributes)
    : EMBTallyEvent(kKey, Dictionary::make({ { "predefined_type", std::move(type) } }), customAttributes)
    , m_className(className)
{
}

std::string EMBTallyPredefinedEvent::description() const
{
    return std::string(m_className) + " { " + platform::foundation::toJson(predefinedAttributes())
        + " customAttributes=" + platform::foundation::toJson(customAttributes()) + "}";
}

void EMBTallyPredefinedEvent::addPredefinedAttribute(const Value& value, std::string_view key)
{
    addAttribute(value, key, *predefinedAttributes());
}

void EMBTallyPredefinedEvent::addPredefinedNumber(const Value& value, std::string_view key)
{
    if (value.number() || value.boolean())
        addPredefinedAttribute(value, key);
}

void EMBTallyPredefinedEvent::addPredefinedString(const Value& value, std::string_view key)
{
    if (value.string())
        addPredefinedAttribute(value, key);
    else if (value.number() || value.boolean())
        addPredefinedAttribute(value.stringValue(), key);
}

Value EMBTallyPredefinedEvent::serializeSuccess(std::optional<bool> success)
{
    return success ? Value(*success ? "true" : "false") : Value();
}

Value EMBTallyPredefinedEvent::serializePriceToMicros(const std::optional<DecimalNumber>& price)
{
    return price ? price->multiplyingByPowerOf10(6).numberValue() : Value();
}

Value EMBTallyPredefinedEvent::serializeNSNumberAsInteger(const Value& number)
{
    return number.isNull() ? Value() : Value(number.integerValue());
}

}
