#include "testing/server/ServerRequest.h"

#include "platform/foundation/Json.h"

#include <algorithm>
#include <cctype>

namespace testing {

std::optional<std::string> ServerRequest::header(std::string_view name) const
{
    for (const auto& [key, value] : headers) {
        bool same = std::equal(key.begin(), key.end(), name.begin(), name.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
        if (same)
            return value;
    }
    return std::nullopt;
}

std::optional<std::string> ServerRequest::queryValue(std::string_view name) const
{
    for (const auto& [key, value] : query) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

std::string ServerRequest::parameter(std::string_view name) const
{
    auto found = parameters.find(name);
    return found == parameters.end() ? std::string() : found->second;
}

platform::foundation::Value ServerRequest::json() const
{
    auto parsed = platform::foundation::parseJson(body);
    return parsed.ok() ? parsed.value : platform::foundation::Value();
}

}
