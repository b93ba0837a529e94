#include "platform/http/UrlLoading.h"

#include "platform/foundation/Dictionary.h"

#include <strings.h>

namespace platform::http {

foundation::Error UrlLoading::error(int code, std::string description, const std::string& url)
{
    return foundation::Error(kErrorDomain, code,
        foundation::Dictionary::make(
            { { foundation::Error::kLocalizedDescriptionKey, std::move(description) },
                { "NSErrorFailingURLStringKey", url } }));
}

std::optional<std::string> HttpResponse::header(std::string_view name) const
{
    for (const auto& [key, value] : headers) {
        if (key.size() == name.size() && ::strncasecmp(key.data(), name.data(), name.size()) == 0)
            return value;
    }
    return std::nullopt;
}

}
