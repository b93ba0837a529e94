#pragma once

#include "kit/analytics/EMBTallyEvent.h"

#include "platform/foundation/DecimalNumber.h"

#include <optional>

namespace kit {

/// An event of one of the predefined types: key "predefined", metadata {"predefined_type": the type}, and
/// the type's own attributes beside the caller's custom ones. An attribute given no value is left out.
class EMBTallyPredefinedEvent : public EMBTallyEvent {
public:
    static constexpr const char* kKey { "predefined" };

    /// "<class> { <predefined attributes> customAttributes=<custom attributes>}".
    std::string description() const override;

    /// Adds `value` under `key` to the predefined attributes, validated as every attribute is.
    void addPredefinedAttribute(const platform::foundation::Value& value, std::string_view key);
    /// Adds `value` only when it is a number (a boolean counts as one).
    void addPredefinedNumber(const platform::foundation::Value& value, std::string_view key);
    /// Adds a string as it is, a number as its text; anything else not at all.
    void addPredefinedString(const platform::foundation::Value& value, std::string_view key);

    /// "true" or "false"; null for none.
    static platform::foundation::Value serializeSuccess(std::optional<bool> success);
    /// The price in millionths, exactly (0.5 gives 500000); null for none.
    static platform::foundation::Value serializePriceToMicros(
        const std::optional<platform::foundation::DecimalNumber>& price);
    /// The number's integer part (4.7 gives 4); null stays null.
    static platform::foundation::Value serializeNSNumberAsInteger(const platform::foundation::Value& number);

protected:
    /// An event of `type` with `customAttributes` (may be null), named `className` in its description.
    EMBTallyPredefinedEvent(
        const char* className, std::string type, const platform::foundation::DictionaryRef& customAttributes);

private:
    const char* m_className { "" };
};

}
