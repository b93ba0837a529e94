#pragma once

#include "platform/foundation/Value.h"

#include <string>
#include <string_view>

namespace platform::foundation {

/// The result of reading JSON: the value, or an error message.
struct JsonResult {
    Value value;
    std::string error;
    /// Whether the text was read (the value may still be null: "null").
    bool ok() const { return error.empty(); }
};

/// Reads JSON into mutable containers. Integers stay integers, reals stay
/// reals, true/false stay booleans; integers beyond int64 become reals. Object
/// members that are null are left out (storing null removes a key); nulls in
/// arrays stay. Never throws: malformed input gives an error starting
/// "malformed JSON". An empty text is an error too, and so is nesting deeper
/// than 512 levels. The records of a text of a megabyte or more are asked onto
/// huge pages, as long lists are walked often and fill much memory.
JsonResult parseJson(std::string_view text);

/// Writes compact JSON, keys in order. Reals always carry a fraction or an
/// exponent (1.0 is written "1.0") so that they read back as reals; infinities
/// and NaN are written as null. Dates are written as seconds since 1970 (the
/// API layer formats its dates as strings before writing); bytes as base64
/// strings. Bytes that are not UTF-8 are written as U+FFFD.
std::string toJson(const Value& value);

}
