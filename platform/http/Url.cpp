#include "platform/http/Url.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace platform::http {

namespace {

// Schemes whose URLs take relative references and carry an authority.
constexpr std::array kRelativeSchemes { "", "http", "https", "ws", "wss", "ftp", "file" };

bool isRelativeScheme(std::string_view scheme)
{
    return std::find(kRelativeSchemes.begin(), kRelativeSchemes.end(), scheme) != kRelativeSchemes.end();
}

struct Parts {
    std::string scheme;
    std::string authority;
    std::string path;
    std::string query;
    std::string fragment;
};

bool isSchemeCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

// Splits a URL into its five parts; a reference without a scheme of its
// own takes `defaultScheme`. Leading blanks and controls, tabs and line
// breaks are dropped first, as a browser does, so that they can never hide
// inside a scheme or host.
Parts split(std::string_view text, std::string_view defaultScheme)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    std::string url;
    for (char c : text) {
        if (c != '\t' && c != '\r' && c != '\n')
            url += c;
    }
    Parts parts;
    parts.scheme = defaultScheme;
    std::string_view rest = url;
    auto colon = rest.find(':');
    if (colon != std::string_view::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(rest[0]))
        && std::all_of(rest.begin(), rest.begin() + colon, isSchemeCharacter)) {
        parts.scheme.clear();
        for (char c : rest.substr(0, colon))
            parts.scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        rest.remove_prefix(colon + 1);
    }
    if (rest.starts_with("//")) {
        auto end = rest.find_first_of("/?#", 2);
        parts.authority = rest.substr(2, end == std::string_view::npos ? std::string_view::npos : end - 2);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    }
    if (auto hash = rest.find('#'); hash != std::string_view::npos) {
        parts.fragment = rest.substr(hash + 1);
        rest = rest.substr(0, hash);
    }
    if (auto question = rest.find('?'); question != std::string_view::npos) {
        parts.query = rest.substr(question + 1);
        rest = rest.substr(0, question);
    }
    parts.path = rest;
    return parts;
}

std::string join(const Parts& parts)
{
    std::string url = parts.path;
    if (!parts.authority.empty()
        || (!parts.scheme.empty() && isRelativeScheme(parts.scheme) && !url.starts_with("//"))) {
        if (!url.empty() && url[0] != '/')
            url.insert(url.begin(), '/');
        url = "//" + parts.authority + url;
    }
    if (!parts.scheme.empty())
        url = parts.scheme + ":" + url;
    if (!parts.query.empty())
        url += "?" + parts.query;
    if (!parts.fragment.empty())
        url += "#" + parts.fragment;
    return url;
}

std::vector<std::string> segmentsOf(std::string_view path)
{
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (true) {
        auto slash = path.find('/', start);
        segments.emplace_back(path.substr(start, slash == std::string_view::npos ? slash : slash - start));
        if (slash == std::string_view::npos)
            return segments;
        start = slash + 1;
    }
}

// Merges a relative path into the base's and removes "." and ".."
// segments; ".." never climbs above the root.
std::string mergePaths(const std::string& basePath, const std::string& path)
{
    std::vector<std::string> segments;
    if (path.starts_with("/")) {
        segments = segmentsOf(path);
    } else {
        auto merged = segmentsOf(basePath);
        if (!merged.back().empty())
            merged.pop_back();
        for (auto& segment : segmentsOf(path))
            merged.push_back(std::move(segment));
        // Empty segments between the first and the last collapse.
        segments.push_back(merged.front());
        for (std::size_t index = 1; index + 1 < merged.size(); ++index) {
            if (!merged[index].empty())
                segments.push_back(merged[index]);
        }
        if (merged.size() > 1)
            segments.push_back(merged.back());
    }
    std::vector<std::string> resolved;
    for (const auto& segment : segments) {
        if (segment == "..") {
            if (!resolved.empty())
                resolved.pop_back();
        } else if (segment != ".") {
            resolved.push_back(segment);
        }
    }
    if (segments.back() == "." || segments.back() == "..")
        resolved.emplace_back();
    std::string merged;
    for (std::size_t index = 0; index < resolved.size(); ++index)
        merged += (index ? "/" : "") + resolved[index];
    return merged.empty() ? "/" : merged;
}

bool isUnreserved(unsigned char c)
{
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

// The characters a query may hold as they are (RFC 3986 pchar, "/" and "?").
bool isQueryCharacter(unsigned char c)
{
    return isUnreserved(c)
        || std::string_view("!$&'()*+,;=:@/?").find(static_cast<char>(c)) != std::string_view::npos;
}

template<class Allowed> std::string encode(std::string_view text, Allowed allowed)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (allowed(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0xF];
        }
    }
    return encoded;
}

void appendPairs(std::string& query, const std::string& key, const foundation::Value& value)
{
    using Type = foundation::Value::Type;
    switch (value.type()) {
    case Type::Null:
        return;
    case Type::Dictionary:
        for (const auto& [subkey, subvalue] : value.dictionary()->entries())
            appendPairs(query, key + "[" + subkey + "]", subvalue);
        return;
    case Type::Array:
        for (const auto& element : *value.array())
            appendPairs(query, key + "[]", element);
        return;
    case Type::Bool:
        return appendPairs(query, key, foundation::Value(*value.boolean() ? "1" : "0"));
    default:
        if (!query.empty())
            query += '&';
        query += percentEncode(key) + "=" + percentEncode(value.stringValue());
    }
}

}

std::string resolve(std::string_view reference, std::string_view base)
{
    if (base.empty())
        return std::string(reference);
    if (reference.empty())
        return std::string(base);
    Parts baseParts = split(base, "");
    Parts parts = split(reference, baseParts.scheme);
    if (parts.scheme != baseParts.scheme || !isRelativeScheme(parts.scheme))
        return std::string(reference);
    if (!parts.authority.empty())
        return join(parts);
    parts.authority = baseParts.authority;
    if (parts.path.empty()) {
        parts.path = baseParts.path;
        if (parts.query.empty())
            parts.query = baseParts.query;
        return join(parts);
    }
    parts.path = mergePaths(baseParts.path, parts.path);
    return join(parts);
}

std::string hostOf(std::string_view url)
{
    const std::string whole = split(url, "").authority;
    std::string_view authority = whole;
    if (auto at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    if (authority.starts_with("[")) {
        authority = authority.substr(1, authority.find(']') - 1);
    } else if (auto colon = authority.find(':'); colon != std::string_view::npos) {
        authority = authority.substr(0, colon);
    }
    std::string host;
    for (char c : authority)
        host += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return host;
}

std::string percentEncode(std::string_view text)
{
    return encode(text, isUnreserved);
}

std::string percentEncodeQuery(std::string_view text)
{
    return encode(text, isQueryCharacter);
}

std::string queryString(const foundation::Value& parameters)
{
    std::string query;
    if (auto dictionary = parameters.dictionary()) {
        for (const auto& [key, value] : dictionary->entries())
            appendPairs(query, key, value);
    }
    return query;
}

std::string appendQuery(std::string_view url, std::string_view query)
{
    std::string result(url);
    if (query.empty())
        return result;
    auto hash = result.find('#');
    std::string fragment = hash == std::string::npos ? "" : result.substr(hash);
    result.resize(hash == std::string::npos ? result.size() : hash);
    result += result.find('?') == std::string::npos ? '?' : '&';
    result += query;
    return result + fragment;
}

}
