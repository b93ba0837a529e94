#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// Base64 of RFC 4648: the standard alphabet ("A"-"Z", "a"-"z", "0"-"9", "+", "/"), "=" padding to whole
/// groups of four characters, no line breaks. The one Base64 of the system: data in JSON and defaults, the
/// kit settings' obfuscation, the store receipt, the test browser's pages and screenshots.
class Base64 {
public:
    /// `bytes` as Base64 text of 4 × ceil(n / 3) characters.
    static std::string encode(std::string_view bytes);
    static std::string encode(const Bytes& bytes);

    /// The bytes `text` encodes, or nullopt when it is no canonical Base64: a length that is not a multiple
    /// of four, a character outside the alphabet (white space and line breaks included), padding anywhere
    /// but at the end or more than two of it, or bits set that the padding leaves unused. "" gives "".
    static std::optional<std::string> decode(std::string_view text);
};

}
