#include "platform/foundation/Regex.h"

#include "platform/foundation/IcuText.h"

#include <unicode/regex.h>

namespace platform::foundation {

struct Regex::Implementation {
    std::unique_ptr<icu::RegexPattern> pattern;

    // A matcher over `text`, which must outlive it; null for an invalid pattern.
    std::unique_ptr<icu::RegexMatcher> matcher(const icu::UnicodeString& text) const
    {
        if (!pattern)
            return nullptr;
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::RegexMatcher> result(pattern->matcher(text, status));
        return U_SUCCESS(status) ? std::move(result) : nullptr;
    }
};

Regex::Regex(std::string_view pattern, Option option)
    : m_implementation(std::make_unique<Implementation>())
{
    UErrorCode status = U_ZERO_ERROR;
    UParseError error;
    uint32_t flags = option == Option::CaseInsensitive ? UREGEX_CASE_INSENSITIVE : 0;
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(icutext::fromUtf8(pattern), flags, error, status));
    if (U_SUCCESS(status))
        m_implementation->pattern = std::move(compiled);
}

Regex::~Regex() = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;

bool Regex::isValid() const
{
    return m_implementation->pattern != nullptr;
}

bool Regex::matchesEntirely(std::string_view text) const
{
    icu::UnicodeString unicodeText = icutext::fromUtf8(text);
    auto matcher = m_implementation->matcher(unicodeText);
    UErrorCode status = U_ZERO_ERROR;
    return matcher && matcher->matches(status) && U_SUCCESS(status);
}

bool Regex::containsMatch(std::string_view text) const
{
    icu::UnicodeString unicodeText = icutext::fromUtf8(text);
    auto matcher = m_implementation->matcher(unicodeText);
    return matcher && matcher->find();
}

std::size_t Regex::numberOfMatches(std::string_view text) const
{
    icu::UnicodeString unicodeText = icutext::fromUtf8(text);
    auto matcher = m_implementation->matcher(unicodeText);
    if (!matcher)
        return 0;
    std::size_t count = 0;
    while (matcher->find())
        ++count;
    return count;
}

std::size_t Regex::numberOfAnchoredMatches(std::string_view text) const
{
    icu::UnicodeString unicodeText = icutext::fromUtf8(text);
    auto matcher = m_implementation->matcher(unicodeText);
    if (!matcher)
        return 0;
    // Transparent bounds let \b and look-behind see the text before the
    // region; without anchoring bounds ^ keeps meaning the start of the text.
    matcher->useTransparentBounds(true);
    matcher->useAnchoringBounds(false);
    std::size_t count = 0;
    int32_t start = 0;
    while (start <= unicodeText.length()) {
        UErrorCode status = U_ZERO_ERROR;
        matcher->region(start, unicodeText.length(), status);
        if (U_FAILURE(status) || !matcher->lookingAt(status) || U_FAILURE(status))
            break;
        ++count;
        int32_t end = matcher->end(status);
        // An empty match cannot be followed by another that begins where it ended.
        if (U_FAILURE(status) || end == start)
            break;
        start = end;
    }
    return count;
}

}
