#include "kit/core/CRNNetworkResponseHandler.h"

#include "platform/foundation/Dictionary.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>

namespace kit {

using platform::foundation::Dictionary;
using platform::foundation::Error;
using platform::http::HttpResponse;
using platform::http::Task;

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool equalIgnoringCase(std::string_view left, std::string_view right)
{
    return left.size() == right.size()
        && std::equal(left.begin(), left.end(), right.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a))
                   == std::tolower(static_cast<unsigned char>(b));
           });
}

std::optional<std::string> requestHeader(const Task::Headers& headers, std::string_view name)
{
    for (const auto& [key, value] : headers) {
        if (equalIgnoringCase(key, name))
            return value;
    }
    return std::nullopt;
}

// A content type's media type and its "charset" parameter (unquoted), if any.
struct ContentType {
    std::string_view mediaType;
    std::optional<std::string_view> charset;
};

ContentType parseContentType(std::string_view text)
{
    ContentType parsed;
    auto semicolon = text.find(';');
    parsed.mediaType = trimmed(text.substr(0, semicolon));
    while (semicolon != std::string_view::npos) {
        text.remove_prefix(semicolon + 1);
        semicolon = text.find(';');
        std::string_view parameter = trimmed(text.substr(0, semicolon));
        auto equals = parameter.find('=');
        if (equals == std::string_view::npos
            || !equalIgnoringCase(trimmed(parameter.substr(0, equals)), "charset"))
            continue;
        std::string_view value = trimmed(parameter.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        parsed.charset = value;
    }
    return parsed;
}

}

std::optional<std::string> CRNNetworkResponseHandler::headerForResponse(
    const HttpResponse& response, std::string_view key)
{
    return response.header(key);
}

double CRNNetworkResponseHandler::retryValueForResponse(const HttpResponse& response)
{
    constexpr double kDefault = 2.0;
    auto header = response.header("Retry-After");
    if (!header)
        return kDefault;
    std::string_view text = trimmed(*header);
    double seconds = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || seconds < 0)
        return kDefault;
    return seconds;
}

std::optional<std::string> CRNNetworkResponseHandler::requestIdForResponse(const HttpResponse& response)
{
    return response.header("X-Request-Id");
}

bool CRNNetworkResponseHandler::contentTypeForResponse(
    const HttpResponse& response, const Task::Headers& requestHeaders, std::size_t bodyLength)
{
    auto accept = requestHeader(requestHeaders, "Accept");
    if (!accept || bodyLength == 0)
        return true;
    auto contentType = response.header("Content-Type");
    if (!contentType)
        return false;
    ContentType parsed = parseContentType(*contentType);
    if (!equalIgnoringCase(parsed.mediaType, trimmed(*accept)))
        return false;
    auto acceptCharset = requestHeader(requestHeaders, "Accept-Charset");
    return !acceptCharset || !parsed.charset || equalIgnoringCase(*parsed.charset, trimmed(*acceptCharset));
}

Error CRNNetworkResponseHandler::errorForCode(std::int64_t code, platform::foundation::DictionaryRef userInfo)
{
    return Error(kErrorDomain, code, std::move(userInfo));
}

std::optional<Error> CRNNetworkResponseHandler::errorForResponse(
    const HttpResponse& response, ResponseType type, int status)
{
    std::int64_t code = 0;
    switch (type) {
    case ResponseType::Success:
        return std::nullopt;
    case ResponseType::ClientError:
        code = kClientErrorCode;
        break;
    case ResponseType::Failure:
        code = kFailureCode;
        break;
    case ResponseType::Retry:
    case ResponseType::RetryRateLimited:
        code = kRetryableCode;
        break;
    }
    return errorForCode(code,
        Dictionary::make({ { "type", static_cast<int>(type) }, { "status_code", status },
            { "request_id", requestIdForResponse(response).value_or("") },
            { "content_type", response.header("Content-Type").value_or("") } }));
}

CRNNetworkResponseHandler::ResponseType CRNNetworkResponseHandler::clientResponseType(
    const HttpResponse* response)
{
    int status = response ? response->statusCode : 0;
    switch (status) {
    case 200:
    case 201:
    case 202:
    case 204:
    case 304:
        return ResponseType::Success;
    case 400:
    case 401:
    case 403:
    case 404:
    case 406:
    case 410:
    case 411:
    case 413:
    case 419:
    case 422:
    case 431:
        return ResponseType::ClientError;
    case 420:
    case 429:
        return ResponseType::RetryRateLimited;
    case 408:
        return ResponseType::Retry;
    default:
        return status >= 500 && status <= 599 ? ResponseType::Retry : ResponseType::Failure;
    }
}

void CRNNetworkResponseHandler::handleCompletedResponse(const HttpResponse* response,
    const Task::Headers& requestHeaders, std::size_t bodyLength, const std::optional<Error>& error,
    const Verdict& block)
{
    if (error) {
        bool timedOut = error->domain() == platform::http::UrlLoading::kErrorDomain
            && error->code() == platform::http::UrlLoading::kTimedOut;
        block(timedOut, error);
        return;
    }
    static const auto* kNoResponse = new HttpResponse;
    const HttpResponse& answered = response ? *response : *kNoResponse;
    ResponseType type = clientResponseType(response);
    switch (type) {
    case ResponseType::Success:
        if (contentTypeForResponse(answered, requestHeaders, bodyLength))
            block(false, std::nullopt);
        else
            block(false, errorForResponse(answered, ResponseType::Failure, answered.statusCode));
        return;
    case ResponseType::Failure:
    case ResponseType::ClientError:
        block(false, errorForResponse(answered, type, answered.statusCode));
        return;
    case ResponseType::Retry:
    case ResponseType::RetryRateLimited:
        block(true, errorForResponse(answered, type, answered.statusCode));
        return;
    }
}

}
