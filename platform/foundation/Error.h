#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::foundation {

/// A failure handed on as a value: a domain naming who failed, a code within the domain, and a dictionary
/// of further information (never null).
class Error {
public:
    /// The user-information key of the readable description.
    static constexpr const char* kLocalizedDescriptionKey { "NSLocalizedDescription" };
    /// The user-information key of the failure that caused this one.
    static constexpr const char* kUnderlyingErrorKey { "NSUnderlyingError" };

    /// An error of `domain` and `code` with `userInfo` (null gives an empty dictionary), caused by
    /// `underlying` (the failures it gathers, if any).
    Error(std::string domain, std::int64_t code, DictionaryRef userInfo = nullptr,
        std::vector<Error> underlying = {});

    /// An error whose user information holds only `description` under kLocalizedDescriptionKey.
    static Error withDescription(std::string domain, std::int64_t code, std::string description);

    const std::string& domain() const { return m_domain; }
    std::int64_t code() const { return m_code; }
    const DictionaryRef& userInfo() const { return m_userInfo; }
    /// The failures this error gathers (those of several operations), oldest first.
    const std::vector<Error>& underlying() const { return m_underlying; }

    /// The description under kLocalizedDescriptionKey, else "The operation couldn't be completed.
    /// (<domain> error <code>.)".
    std::string localizedDescription() const;

private:
    std::string m_domain;
    std::int64_t m_code { 0 };
    DictionaryRef m_userInfo;
    std::vector<Error> m_underlying;
};

}
