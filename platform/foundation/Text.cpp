#include "platform/foundation/Text.h"

#include "platform/foundation/IcuText.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace platform::foundation {

namespace {

// True when a range is inside `text` and its ends fall between characters.
bool isWholeCharacterRange(const icu::UnicodeString& text, Utf16Range range)
{
    auto length = static_cast<std::size_t>(text.length());
    if (range.location > length || range.length > length - range.location)
        return false;
    auto boundary = [&](std::size_t index) {
        return index == 0 || index == length
            || !(U16_IS_LEAD(text.charAt(static_cast<int32_t>(index - 1)))
                && U16_IS_TRAIL(text.charAt(static_cast<int32_t>(index))));
    };
    return boundary(range.location) && boundary(range.location + range.length);
}

}

std::size_t utf8CharacterLength(std::string_view text, std::size_t offset)
{
    auto lead = static_cast<unsigned char>(text[offset]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, text.size() - offset);
}

bool isValidUtf8(std::string_view text)
{
    auto bytes = reinterpret_cast<const uint8_t*>(text.data());
    auto length = static_cast<int32_t>(text.size());
    for (int32_t index = 0; index < length;) {
        UChar32 character;
        U8_NEXT(bytes, index, length, character);
        if (character < 0)
            return false;
    }
    return true;
}

std::size_t utf16Length(std::string_view text)
{
    return static_cast<std::size_t>(icutext::fromUtf8(text).length());
}

std::optional<std::string> utf16Substring(std::string_view text, Utf16Range range)
{
    icu::UnicodeString unicodeText = icutext::fromUtf8(text);
    if (!isWholeCharacterRange(unicodeText, range))
        return std::nullopt;
    icu::UnicodeString part(
        unicodeText, static_cast<int32_t>(range.location), static_cast<int32_t>(range.length));
    return icutext::toUtf8(part);
}

std::optional<std::string> replacingUtf16Range(
    std::string_view text, Utf16Range range, std::string_view replacement)
{
    icu::UnicodeString unicodeText = icutext::fromUtf8(text);
    if (!isWholeCharacterRange(unicodeText, range))
        return std::nullopt;
    unicodeText.replace(static_cast<int32_t>(range.location), static_cast<int32_t>(range.length),
        icutext::fromUtf8(replacement));
    return icutext::toUtf8(unicodeText);
}

std::string uppercased(std::string_view text, std::string_view localeIdentifier)
{
    icu::UnicodeString unicodeText = icutext::fromUtf8(text);
    unicodeText.toUpper(
        localeIdentifier.empty() ? icu::Locale::getRoot() : icutext::locale(localeIdentifier));
    return icutext::toUtf8(unicodeText);
}

std::string stringWithFormat(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string result;
    if (length > 0) {
        result.resize(static_cast<std::size_t>(length));
        std::vsnprintf(result.data(), result.size() + 1, format, arguments);
    }
    va_end(arguments);
    return result;
}

}
