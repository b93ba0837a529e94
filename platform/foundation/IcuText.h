#pragma once

// Conversions between this layer's UTF-8 strings and ICU's UTF-16 strings, for
// the layer's own .cpp files only: it brings in ICU's headers.

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace platform::foundation::icutext {

/// `text` as ICU's UTF-16 string; ill-formed UTF-8 becomes U+FFFD.
inline icu::UnicodeString fromUtf8(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

/// The ICU locale of an identifier in either form, "en-GB" or "en_GB".
inline icu::Locale locale(std::string_view identifier)
{
    std::string name(identifier);
    std::replace(name.begin(), name.end(), '-', '_');
    return icu::Locale(name.c_str());
}

/// `text` as UTF-8.
inline std::string toUtf8(const icu::UnicodeString& text)
{
    std::string result;
    text.toUTF8String(result);
    return result;
}

}
