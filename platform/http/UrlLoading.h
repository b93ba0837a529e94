#pragma once

#include "platform/foundation/Error.h"
#include "platform/http/Task.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::http {

/// The error domain of URL loading failures (transport failures, before or instead of an HTTP answer), and
/// the codes the kits tell apart.
struct UrlLoading {
    static constexpr const char* kErrorDomain { "NSURLErrorDomain" };

    static constexpr int kUnknown { -1 };
    static constexpr int kCancelled { -999 };
    static constexpr int kBadUrl { -1000 };
    static constexpr int kTimedOut { -1001 };
    static constexpr int kUnsupportedUrl { -1002 };
    static constexpr int kCannotFindHost { -1003 };
    static constexpr int kCannotConnectToHost { -1004 };
    static constexpr int kNetworkConnectionLost { -1005 };
    static constexpr int kHttpTooManyRedirects { -1007 };
    static constexpr int kBadServerResponse { -1011 };
    static constexpr int kCannotParseResponse { -1017 };
    static constexpr int kFileDoesNotExist { -1100 };
    static constexpr int kDataLengthExceedsMaximum { -1103 };
    static constexpr int kSecureConnectionFailed { -1200 };

    /// An error in kErrorDomain with `code`, `description` as its readable text and the failing URL under
    /// "NSErrorFailingURLStringKey".
    static foundation::Error error(int code, std::string description, const std::string& url);
};

/// What a finished request got back: its URL, the HTTP status (0 when no status arrived) and the headers in
/// the order received.
struct HttpResponse {
    std::string url;
    int statusCode { 0 };
    Task::Headers headers;

    /// The header `name` (compared case-insensitively), or nullopt.
    std::optional<std::string> header(std::string_view name) const;
};

}
