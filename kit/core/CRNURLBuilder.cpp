#include "kit/core/CRNURLBuilder.h"

#include "platform/http/Url.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>

namespace kit {

namespace {

// Whether every byte may stand in a URL: printable ASCII, with "%" only before two hex digits.
bool hasOnlyUrlCharacters(std::string_view text)
{
    for (std::size_t index = 0; index < text.size(); ++index) {
        auto character = static_cast<unsigned char>(text[index]);
        if (character <= 0x20 || character >= 0x7F || character == '"' || character == '<' || character == '>'
            || character == '\\' || character == '^' || character == '`' || character == '{'
            || character == '|' || character == '}')
            return false;
        if (character == '%'
            && (index + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[index + 1]))
                || !std::isxdigit(static_cast<unsigned char>(text[index + 2]))))
            return false;
    }
    return true;
}

struct UrlHandleFree {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};

}

CRNURLBuilder CRNURLBuilder::URLWithBase(std::string base)
{
    return CRNURLBuilder(std::move(base));
}

void CRNURLBuilder::appendComponent(std::string_view component)
{
    m_URLString += component;
}

void CRNURLBuilder::escapeAndAppendComponent(std::string_view component)
{
    m_URLString += escapeString(component);
}

void CRNURLBuilder::appendValue(const platform::foundation::Value& value, std::string_view name)
{
    if (value.isNull())
        return;
    m_URLString += m_queryParams == 0 ? '?' : '&';
    m_URLString += name;
    m_URLString += '=';
    const auto* text = value.string();
    m_URLString += escapeString(text ? *text : value.stringValue());
    ++m_queryParams;
}

std::string CRNURLBuilder::escapeString(std::string_view text)
{
    return platform::http::percentEncode(text);
}

std::optional<std::string> CRNURLBuilder::URL() const
{
    if (!hasOnlyUrlCharacters(m_URLString))
        return std::nullopt;
    std::unique_ptr<CURLU, UrlHandleFree> handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, m_URLString.c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    char* host = nullptr;
    if (curl_url_get(handle.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK || !host)
        return std::nullopt;
    bool hasHost = *host != '\0';
    curl_free(host);
    if (!hasHost)
        return std::nullopt;
    return m_URLString;
}

}
