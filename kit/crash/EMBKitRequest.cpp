#include "kit/crash/EMBKitRequest.h"

#include "kit/core/CRNNetworkOperation.h"
#include "kit/crash/Ember.h"

namespace kit {

platform::http::UrlRequest EMBKitRequest(std::string url, double timeout, const std::string& APIKey)
{
    platform::http::UrlRequest request;
    request.url = std::move(url);
    request.timeoutInterval = timeout;
    request.cachePolicy = platform::http::UrlRequest::CachePolicy::ReloadIgnoringLocalCacheData;
    std::string locale = CRNNetworkOperation::localeIdentifier();
    request.headers = {
        { "User-Agent", std::string("Ember iOS SDK/") + Ember::kDisplayVersion },
        { "Accept", "application/json" },
        { "Accept-Charset", "utf-8" },
        { "Accept-Language", locale },
        { "Content-Language", locale },
        { "X-Ember-Developer-Token", CRNNetworkOperation::kDeveloperToken },
        { "X-Ember-API-Client-Id", Ember::kBundleIdentifier },
        { "X-Ember-API-Client-Display-Version", Ember::kDisplayVersion },
        { "X-Ember-API-Client-Build-Version", Ember::kBuildVersion },
        { "X-Ember-API-Key", APIKey },
    };
    return request;
}

}
