#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// A range of UTF-16 code units, as text fields and the platform's strings
/// count them: "😀" is 2 units long, "é" 1 and "e" with a combining accent 2.
struct Utf16Range {
    std::size_t location { 0 };
    std::size_t length { 0 };

    bool operator==(const Utf16Range&) const = default;
};

/// True when `text` is well-formed UTF-8 (no stray, truncated or overlong
/// sequences, no encoded surrogates).
bool isValidUtf8(std::string_view text);

/// The number of bytes of the UTF-8 character that starts at byte `offset`
/// of `text`, judged by its lead byte: a stray byte counts as a character of
/// one, and a truncated sequence ends at the end of the text.
std::size_t utf8CharacterLength(std::string_view text, std::size_t offset);

/// The length of `text` in UTF-16 code units; each ill-formed UTF-8 byte
/// sequence counts as one replacement character.
std::size_t utf16Length(std::string_view text);

/// The part of `text` in `range`, or nullopt when the range runs past the
/// end or splits a character written with two UTF-16 units.
std::optional<std::string> utf16Substring(std::string_view text, Utf16Range range);

/// `text` with the part in `range` replaced by `replacement`, as a text
/// field's "should change characters in range" check sees the proposed
/// text; nullopt when the range runs past the end or splits a character.
std::optional<std::string> replacingUtf16Range(
    std::string_view text, Utf16Range range, std::string_view replacement);

/// `text` in capitals by Unicode's full case mapping ("straße" gives
/// "STRASSE"). Without a locale the mapping is the language-neutral one; with
/// "tr" a dotted "i" gives "İ".
std::string uppercased(std::string_view text, std::string_view localeIdentifier = {});

/// The C library's printf formatting into a string, such as
/// stringWithFormat("%03ld", 7L) giving "007". `format` must come from the
/// program, never from data.
[[gnu::format(printf, 1, 2)]] std::string stringWithFormat(const char* format, ...);

}
