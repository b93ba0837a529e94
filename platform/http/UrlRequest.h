#pragma once

#include "platform/http/Task.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::http {

/// A request as the kits build it before handing it to a session: URL, method, headers in the order they
/// are to be sent, body, time-out and cache policy.
struct UrlRequest {
    /// Whether a cached answer may serve the request.
    enum class CachePolicy { UseProtocolCachePolicy, ReloadIgnoringLocalCacheData };

    std::string url;
    std::string method { "GET" };
    Task::Headers headers;
    std::string body;
    /// Seconds the whole request may take.
    double timeoutInterval { 60 };
    CachePolicy cachePolicy { CachePolicy::UseProtocolCachePolicy };

    /// The header `name` (compared case-insensitively), or nullopt.
    std::optional<std::string> header(std::string_view name) const;
    /// Sets the header `name`, replacing an earlier value in its place, else appending it.
    void setValue(std::string value, std::string_view name);
};

}
