#pragma once

#include "platform/foundation/Value.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kit {

/// An event the host program logs by name: a custom event or one of the predefined ones. The analytics
/// controller wraps it into an analytics event of its key ("custom" or "predefined") whose values are
/// payloadDictionary().
///
/// Attributes, custom and predefined alike, are validated as they are added: the value must be a string or
/// a number (booleans count as numbers); strings (keys and values) longer than kMaxAttributeLength UTF-16
/// units are cut to that length, never inside a character written with two units; and a dictionary takes a
/// new entry only while it holds fewer than kMaxAttributeCount entries (so at most that many are kept).
/// Every refusal and cut is logged, whatever the debug mode.
class EMBTallyEvent {
public:
    static constexpr std::size_t kMaxAttributeCount { 21 };
    static constexpr std::size_t kMaxAttributeLength { 100 };

    virtual ~EMBTallyEvent() = default;

    /// "custom" or "predefined".
    const std::string& key() const { return m_key; }
    /// The validated copy of the caller's attributes (never null).
    const platform::foundation::DictionaryRef& customAttributes() const { return m_customAttributes; }
    /// The attributes of a predefined type (never null; empty for a custom event).
    const platform::foundation::DictionaryRef& predefinedAttributes() const { return m_predefinedAttributes; }
    /// One member naming the type: "custom_type" or "predefined_type".
    const platform::foundation::DictionaryRef& metadata() const { return m_metadata; }

    /// A new dictionary: the metadata, "predefined_attributes" and "custom_attributes" (both always there).
    platform::foundation::DictionaryRef payloadDictionary() const;

    /// The event as a log line shows it.
    virtual std::string description() const = 0;

    /// A validated copy of `attributes` (null gives an empty dictionary), entries taken in key order.
    static platform::foundation::DictionaryRef filterCustomAttributes(
        const platform::foundation::DictionaryRef& attributes);
    /// Stores `value` under `key` in `dictionary` when valid (see the class comment); a null value does
    /// nothing. An entry under a key already there is replaced.
    static void addAttribute(const platform::foundation::Value& value, std::string_view key,
        platform::foundation::Dictionary& dictionary);
    /// Whether `value` is a string or a number.
    static bool validAttributeValue(const platform::foundation::Value& value);
    /// `value` cut to kMaxAttributeLength UTF-16 units (logged) when it is a longer string; else as given.
    static platform::foundation::Value truncateAttribute(const platform::foundation::Value& value);

protected:
    /// An event of `key` whose metadata is `metadata` and whose custom attributes are `customAttributes`
    /// validated.
    EMBTallyEvent(std::string key, platform::foundation::DictionaryRef metadata,
        const platform::foundation::DictionaryRef& customAttributes);

private:
    std::string m_key;
    platform::foundation::DictionaryRef m_customAttributes;
    platform::foundation::DictionaryRef m_predefinedAttributes;
    platform::foundation::DictionaryRef m_metadata;
};

}
