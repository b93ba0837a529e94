#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::http {

/// Resolves `reference` against the absolute URL `base` as a browser would
/// (RFC 3986): "/api/x" replaces the base's path, "x" replaces its last
/// segment, "?q" keeps the path, "//host/p" keeps only the scheme, and dot
/// segments are removed. An absolute `reference` is returned as it is.
std::string resolve(std::string_view reference, std::string_view base);

/// The host of the absolute URL `url` without port, user or brackets
/// ("127.0.0.1", "::1"), lower-cased; "" when it has none.
std::string hostOf(std::string_view url);

/// True when `url` is an absolute URL with a scheme and a host that libcurl's parser takes as it is (no
/// blanks or other characters a URL may not hold).
bool isValidUrl(std::string_view url);

/// `text` with every "%XX" escape replaced by its byte, or nullopt when an escape is malformed or the
/// result is not well-formed UTF-8. "+" stays a "+".
std::optional<std::string> percentDecode(std::string_view text);

/// Percent-encodes every byte except the unreserved characters A-Z a-z 0-9 - . _ ~.
std::string percentEncode(std::string_view text);

/// Percent-encodes the bytes that may not stand in a URL query (spaces,
/// quotes, "#", "%", non-ASCII, controls...), leaving "&", "=", "/", "?" and
/// the other query characters as they are.
std::string percentEncodeQuery(std::string_view text);

/// The form-style query for `parameters` (a Dictionary; anything else gives
/// ""): "key=value" pairs joined with "&", keys in the dictionary's order,
/// keys and values percent-encoded. Nested dictionaries become key[sub]=v,
/// arrays key[]=v; null values are left out; booleans are "1"/"0".
std::string queryString(const foundation::Value& parameters);

/// `url` with `query` appended after "?" (or "&" when it already has a query).
std::string appendQuery(std::string_view url, std::string_view query);

}
