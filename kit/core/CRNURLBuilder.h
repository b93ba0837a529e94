#pragma once

#include "platform/foundation/Value.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kit {

/// Builds a request URL from a base, path pieces and query parameters.
///
/// Escaped pieces and query values keep only the unreserved characters (A-Z a-z 0-9 - . _ ~) as they are,
/// so a value such as "1.0+b" or "a&b" reaches the server as it was given.
class CRNURLBuilder {
public:
    /// A builder whose text starts as `base`.
    static CRNURLBuilder URLWithBase(std::string base);

    /// Appends `component` as it is (callers include the "/" separators).
    void appendComponent(std::string_view component);
    /// Appends `component` escaped by escapeString().
    void escapeAndAppendComponent(std::string_view component);
    /// Appends "?" (first) or "&" (later), `name` as it is, "=" and the escaped value (a number as its
    /// decimal text). Nothing for a null value.
    void appendValue(const platform::foundation::Value& value, std::string_view name);

    /// `text` with every byte but the unreserved characters percent-encoded.
    static std::string escapeString(std::string_view text);

    const std::string& URLString() const { return m_URLString; }
    std::size_t queryParams() const { return m_queryParams; }

    /// The text when it is a valid absolute URL (a scheme, a host, no spaces or stray "%"); else nullopt.
    std::optional<std::string> URL() const;

private:
    explicit CRNURLBuilder(std::string base)
        : m_URLString(std::move(base))
    {
    }

    std::string m_URLString;
    std::size_t m_queryParams { 0 };
};

}
