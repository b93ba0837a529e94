#include "platform/http/Url.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Text.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace platform::http {

namespace {

// A URL handle of libcurl's URL API, freed when it goes.
using UrlHandle = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;

UrlHandle makeHandle()
{
    return UrlHandle(curl_url(), curl_url_cleanup);
}

// Leading blanks and controls, tabs and line breaks are dropped first, as a
// browser does, so that they can never hide inside a scheme or host.
std::string cleaned(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    std::string url;
    for (char c : text) {
        if (c != '\t' && c != '\r' && c != '\n')
            url += c;
    }
    return url;
}

std::string part(CURLU* url, CURLUPart which)
{
    char* text = nullptr;
    if (curl_url_get(url, which, &text, 0) != CURLUE_OK)
        return {};
    std::string result(text);
    curl_free(text);
    return result;
}

// Whether `url` sets `reference` against the base it holds (any scheme is accepted).
bool setUrl(CURLU* url, const std::string& reference)
{
    return curl_url_set(url, CURLUPART_URL, reference.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK;
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
    std::string target = cleaned(reference);
    if (base.empty())
        return target;
    auto url = makeHandle();
    if (!setUrl(url.get(), cleaned(base)))
        return target;
    // A reference of nothing but a fragment keeps the base's path and query.
    if (target.empty() || target.starts_with("#")) {
        std::string fragment = target.empty() ? part(url.get(), CURLUPART_FRAGMENT) : target.substr(1);
        curl_url_set(url.get(), CURLUPART_FRAGMENT, fragment.empty() ? nullptr : fragment.c_str(), 0);
        return part(url.get(), CURLUPART_URL);
    }
    // One that libcurl cannot take ("mailto:a@b", "g:h") is an absolute URL of another scheme.
    if (!setUrl(url.get(), target))
        return target;
    return part(url.get(), CURLUPART_URL);
}

std::string hostOf(std::string_view url)
{
    auto handle = makeHandle();
    if (!setUrl(handle.get(), cleaned(url)))
        return {};
    std::string host = part(handle.get(), CURLUPART_HOST);
    if (host.starts_with("[") && host.ends_with("]"))
        host = host.substr(1, host.size() - 2);
    for (char& c : host)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return host;
}

bool isValidUrl(std::string_view url)
{
    if (url.empty()
        || std::any_of(url.begin(), url.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; }))
        return false;
    auto handle = makeHandle();
    return setUrl(handle.get(), std::string(url)) && !part(handle.get(), CURLUPART_HOST).empty();
}

std::optional<std::string> percentDecode(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1]))
            || !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return std::nullopt;
        decoded += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
        i += 2;
    }
    if (!foundation::isValidUtf8(decoded))
        return std::nullopt;
    return decoded;
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
