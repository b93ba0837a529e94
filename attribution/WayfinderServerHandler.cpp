#include "attribution/WayfinderServerHandler.h"

#include "attribution/WayfinderDebugQueue.h"
#include "attribution/WayfinderRequestCache.h"
#include "attribution/WayfinderTracker.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "platform/http/DataTaskSession.h"
#include "platform/http/Url.h"

namespace attribution {

using platform::foundation::Error;
using platform::http::HttpResponse;

namespace {

platform::foundation::Log log()
{
    return platform::foundation::Log();
}

}

std::string WayfinderServerHandler::getDataString(const std::string& postData)
{
    return "data=" + postData;
}

void WayfinderServerHandler::sendRequestEventToServer(
    const std::shared_ptr<WayfinderRequestCacheData>& request, bool fromCache, bool isDebug,
    std::int32_t logId, std::function<void()> onSuccess)
{
    auto body = getDataString(request->postData);
    auto url = fromCache ? request->requestURL + "&isCachedRequest=true" : request->requestURL;
    if (isDebug)
        log().write("wayfinder URL: " + url + "\ndata: " + body);
    platform::http::UrlRequest post;
    post.url = platform::http::percentEncodeQuery(url);
    post.method = "POST";
    post.body = body;
    if (isDebug)
        log().write("Wayfinder: sending request to server ");
    platform::http::DataTaskSession::shared().dataTask(std::move(post),
        [request, fromCache, isDebug, logId, onSuccess = std::move(onSuccess)](
            const std::string&, const std::optional<HttpResponse>&, const std::optional<Error>& error) {
            auto& cache = WayfinderRequestCache::instance();
            if (error) {
                if (logId != 0)
                    WayfinderDebugQueue::sharedManager().updateAction(logId, *error);
                log().write("Wayfinder Connection failed! Error - " + error->localizedDescription() + " ");
                if (!fromCache) {
                    cache.cacheRequest(request);
                    return;
                }
                if (request->sdkVersion != WayfinderRequestCache::kSDKVersion)
                    cache.deleteRequest(*request);
                cache.sendNextCachedEvents();
                return;
            }
            if (isDebug)
                log().write("Wayfinder: sent information to server");
            if (logId != 0)
                WayfinderDebugQueue::sharedManager().updateActionSuccess(logId);
            if (fromCache) {
                cache.deleteRequest(*request);
                cache.sendNextCachedEvents();
            } else {
                cache.processCache();
            }
            if (onSuccess) {
                if (isDebug)
                    log().write("Wayfinder: loading attribution data");
                onSuccess();
            }
        });
}

void WayfinderServerHandler::sendPOSTRequest(
    const platform::foundation::DictionaryRef& parameters, ValidationCompletion completion)
{
    auto text = [&](const char* key) { return parameters->get(key).stringValue(); };
    platform::http::UrlRequest post;
    post.url = text("url") + "?app_id=" + text("appId") + "&wayfinder_id=" + text("wayfinderId")
        + "&dev_key=" + text("appDevKey") + "&sandbox=" + text("sandbox");
    bool isDebug = WayfinderTracker::sharedTracker().isDebug();
    if (isDebug)
        log().write("url = " + post.url);
    post.url = platform::http::percentEncodeQuery(post.url);
    post.method = "POST";
    post.body = platform::foundation::toJson(parameters->get("data"));
    post.setValue("application/json", "Accept");
    post.setValue("application/json", "Content-Type");
    if (isDebug)
        log().write("Wayfinder: sending request to server ");
    platform::http::DataTaskSession::shared().dataTask(std::move(post),
        [completion = std::move(completion)](
            const std::string& body, const std::optional<HttpResponse>&, const std::optional<Error>& error) {
            if (error)
                log().write("Wayfinder Connection failed! Error - " + error->localizedDescription());
            completion(error, body);
        });
}

}
