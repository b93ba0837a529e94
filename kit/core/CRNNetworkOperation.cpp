#include "kit/core/CRNNetworkOperation.h"

#include "kit/core/Cairn.h"

#include "platform/foundation/DeviceEnvironment.h"

namespace kit {

using platform::http::UrlRequest;

CRNNetworkOperation::CRNNetworkOperation(std::string APIKey)
    : m_APIKey(std::move(APIKey))
{
}

UrlRequest CRNNetworkOperation::mutableRequestWithDefaultHTTPHeaderFieldsAndTimeoutForURL(
    std::string url) const
{
    return mutableRequestWithDefaultHTTPHeadersForURL(std::move(url), kDefaultTimeout);
}

UrlRequest CRNNetworkOperation::mutableRequestWithDefaultHTTPHeadersForURL(
    std::string url, double timeout) const
{
    UrlRequest request;
    request.url = std::move(url);
    request.timeoutInterval = timeout;
    request.cachePolicy = UrlRequest::CachePolicy::ReloadIgnoringLocalCacheData;
    std::string locale = localeIdentifier();
    request.headers = {
        { "User-Agent", userAgentString() },
        { "Accept-Charset", "utf-8" },
        { "Accept-Language", locale },
        { "Content-Language", locale },
        { "X-Ember-Developer-Token", kDeveloperToken },
        { "X-Ember-API-Client-Id", Cairn::kBundleID },
        { "X-Ember-API-Client-Display-Version", Cairn::kVersion },
        { "X-Ember-API-Client-Build-Version", Cairn::kBuildNumber },
        { "X-Ember-API-Key", m_APIKey },
    };
    return request;
}

std::string CRNNetworkOperation::localeIdentifier()
{
    return platform::foundation::DeviceEnvironment::localeIdentifier();
}

std::string CRNNetworkOperation::userAgentString()
{
    return std::string(Cairn::kBundleID) + "/" + Cairn::kVersion + " (" + Cairn::kBuildNumber + ")";
}

}
