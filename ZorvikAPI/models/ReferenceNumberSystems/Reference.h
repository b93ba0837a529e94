#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik::api {

/// An invoice reference: a free prefix ("INV-") and a counter written with leading zeros ("007"), the
/// JSON object {"prefix", "counter"} under an invoice's "reference_components". Counters compare by their
/// integer value, so "007" and "7" are the same counter.
class Reference {
public:
    /// A view of `record`; throws std::invalid_argument when it is null (a programming error).
    explicit Reference(platform::foundation::DictionaryRef record);

    /// A new reference record.
    static Reference referenceWithPrefix(std::string_view prefix, std::string_view counter);

    /// The record viewed.
    const platform::foundation::DictionaryRef& record() const { return m_record; }

    /// "prefix" ("" when absent).
    std::string prefix() const;
    /// "counter" ("" when absent).
    std::string counter() const;
    /// The counter's integer value, read as a number's leading digits are ("007" is 7, "12a" is 12, text
    /// that does not start with a number is 0).
    std::int64_t counterValue() const;
    /// The prefix followed by the counter ("INV-007").
    std::string stringValue() const;

private:
    platform::foundation::DictionaryRef m_record;
};

}
