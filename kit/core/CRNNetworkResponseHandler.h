#pragma once

#include "platform/foundation/Error.h"
#include "platform/http/UrlLoading.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kit {

/// Sorts a finished kit request into success, client error, failure or retry, and builds the error the
/// kits hand on. Stateless.
class CRNNetworkResponseHandler {
public:
    /// The kit network errors' domain.
    static constexpr const char* kErrorDomain { "CRNNetworkError" };
    /// Codes in kErrorDomain.
    static constexpr std::int64_t kRetryableCode { -1 };
    static constexpr std::int64_t kNoTaskCode { -3 };
    static constexpr std::int64_t kFailureCode { -4 };
    static constexpr std::int64_t kClientErrorCode { -5 };
    static constexpr std::int64_t kRetryLimitReachedCode { -6 };

    /// How a status is taken.
    enum class ResponseType { Success = 0, Failure = 1, ClientError = 2, Retry = 3, RetryRateLimited = 4 };

    /// The header `key` of the response, or nullopt.
    static std::optional<std::string> headerForResponse(
        const platform::http::HttpResponse& response, std::string_view key);
    /// The "Retry-After" header in seconds; 2 when it is absent, negative or no number.
    static double retryValueForResponse(const platform::http::HttpResponse& response);
    /// The "X-Request-Id" header, or nullopt.
    static std::optional<std::string> requestIdForResponse(const platform::http::HttpResponse& response);

    /// Whether the response's content fits what the request asked for: always without an "Accept" header;
    /// always for an empty body (a 204 carries no type); else the media type (before any ";" parameters,
    /// ignoring case and spaces) must equal "Accept", and when both the request's "Accept-Charset" and a
    /// "charset" parameter are given they must be equal, ignoring case.
    static bool contentTypeForResponse(const platform::http::HttpResponse& response,
        const platform::http::Task::Headers& requestHeaders, std::size_t bodyLength);

    /// An error in kErrorDomain with `code` and `userInfo`.
    static platform::foundation::Error errorForCode(
        std::int64_t code, platform::foundation::DictionaryRef userInfo = nullptr);
    /// The error of a response of `type` (none for Success): -5 for a client error, -4 for a failure, -1
    /// otherwise, with "type", "status_code", "request_id" and "content_type" in its user information.
    static std::optional<platform::foundation::Error> errorForResponse(
        const platform::http::HttpResponse& response, ResponseType type, int status);

    /// The type of the response's status (0 when none arrived: a failure).
    static ResponseType clientResponseType(const platform::http::HttpResponse* response);

    /// The verdict on a finished task: whether to retry, and the error to hand on (none on success). A
    /// transport error is retried exactly when it is a URL-loading time-out, and is handed on unchanged.
    using Verdict = std::function<void(bool retry, const std::optional<platform::foundation::Error>& error)>;
    static void handleCompletedResponse(const platform::http::HttpResponse* response,
        const platform::http::Task::Headers& requestHeaders, std::size_t bodyLength,
        const std::optional<platform::foundation::Error>& error, const Verdict& block);
};

}
