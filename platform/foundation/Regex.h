#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace platform::foundation {

/// A regular expression in ICU's syntax (\b, \d, classes, {m,n}, ...)
/// matched over the UTF-16 text of UTF-8 strings. A malformed pattern gives
/// an invalid expression that matches nothing. Compiled once; one Regex may be
/// used from several threads.
class Regex {
public:
    enum class Option {
        None,
        /// Letters match either case.
        CaseInsensitive,
    };

    explicit Regex(std::string_view pattern, Option option = Option::None);
    ~Regex();
    Regex(Regex&&) noexcept;
    Regex& operator=(Regex&&) noexcept;

    /// False when the pattern did not compile.
    bool isValid() const;

    /// True when the expression matches the whole of `text`.
    bool matchesEntirely(std::string_view text) const;

    /// True when the expression matches somewhere in `text`.
    bool containsMatch(std::string_view text) const;

    /// The number of non-overlapping matches in `text`, searching onward after
    /// each match.
    std::size_t numberOfMatches(std::string_view text) const;

    /// The number of matches in an unbroken run from the start of `text`:
    /// the first must begin at the start and each further one where the one
    /// before ended. Text before a match is seen by \b and look-behind.
    std::size_t numberOfAnchoredMatches(std::string_view text) const;

private:
    struct Implementation;
    std::unique_ptr<Implementation> m_implementation;
};

}
