#include "ZorvikAPI/RESTClient/URLQuery.h"

#include "platform/foundation/Dictionary.h"
#include "platform/http/Url.h"

namespace zorvik::api {

std::string queryWithParameters(const platform::foundation::Dictionary& parameters)
{
    std::string query;
    for (auto& [key, value] : parameters.entries()) {
        if (!query.empty())
            query += '&';
        query += key + "=" + value.stringValue();
    }
    return query;
}

std::string urlWithString(std::string_view url, const platform::foundation::Dictionary& parameters)
{
    std::string_view fragment;
    if (auto hash = url.find('#'); hash != std::string_view::npos) {
        fragment = url.substr(hash);
        url = url.substr(0, hash);
    }
    if (auto question = url.find('?'); question != std::string_view::npos)
        url = url.substr(0, question);
    std::string result(url);
    if (!parameters.empty())
        result += "?" + platform::http::percentEncodeQuery(queryWithParameters(parameters));
    return result + std::string(fragment);
}

}
