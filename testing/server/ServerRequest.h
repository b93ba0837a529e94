#pragma once

#include "platform/foundation/Value.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing {

/// One request as the loopback server received it.
struct ServerRequest {
    using Pairs = std::vector<std::pair<std::string, std::string>>;

    /// "GET", "POST", ...
    std::string method;
    /// The path, percent-decoded, without the query ("/api/freelancers/42").
    std::string path;
    /// The request target as sent, path and query still percent-encoded ("/a%2Fb;c=d?q=1").
    std::string target;
    /// The query as sent, still percent-encoded ("filter%5Bwhere%5D=1").
    std::string rawQuery;
    /// The query's pairs in the order sent, percent-decoded ("+" read as a space).
    Pairs query;
    /// The headers, ordered by name.
    Pairs headers;
    std::string body;
    /// The values of the ":name" segments of the route that matched.
    std::map<std::string, std::string, std::less<>> parameters;

    /// The first header `name` (case-insensitive), or nullopt.
    std::optional<std::string> header(std::string_view name) const;
    /// The first query value of `name`, or nullopt.
    std::optional<std::string> queryValue(std::string_view name) const;
    /// The route parameter `name`, or "".
    std::string parameter(std::string_view name) const;
    /// The body parsed as JSON, or null when it is empty or not JSON.
    platform::foundation::Value json() const;
};

}
