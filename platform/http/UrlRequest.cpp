#include "platform/http/UrlRequest.h"

#include <strings.h>

namespace platform::http {

namespace {

bool sameName(std::string_view left, std::string_view right)
{
    return left.size() == right.size() && ::strncasecmp(left.data(), right.data(), left.size()) == 0;
}

}

std::optional<std::string> UrlRequest::header(std::string_view name) const
{
    for (const auto& [key, value] : headers) {
        if (sameName(key, name))
            return value;
    }
    return std::nullopt;
}

void UrlRequest::setValue(std::string value, std::string_view name)
{
    for (auto& [key, existing] : headers) {
        if (sameName(key, name)) {
            existing = std::move(value);
            return;
        }
    }
    headers.emplace_back(std::string(name), std::move(value));
}

}
