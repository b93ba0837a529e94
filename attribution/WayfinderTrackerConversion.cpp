// The install's conversion data: fetched from the service, kept in the defaults and delivered.
#include "attribution/WayfinderTracker.h"

#include "attribution/WayfinderDebugQueue.h"
#include "attribution/WayfinderUtils.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/DataTaskSession.h"
#include "platform/http/Url.h"

#include <exception>

namespace attribution {

using platform::foundation::Defaults;
using platform::foundation::DictionaryRef;
using platform::foundation::Error;
using platform::foundation::Value;

namespace {

constexpr const char* kExpirationKey { "WayfinderConversionDataCacheExpiration" };
constexpr const char* kRetriesKey { "WayfinderConversionDataRequestRetries" };
constexpr std::int64_t kMaximumRetries { 4 };
constexpr double kDeliveryDelay { 0.001 };

Error trackerError(std::int64_t code, const std::string& description)
{
    return Error::withDescription(WayfinderTracker::kErrorDomain, code, description);
}

bool answers(
    const std::shared_ptr<WayfinderTrackerDelegate>& delegate, WayfinderTrackerDelegate::Callback callback)
{
    return delegate && delegate->respondsTo(callback);
}

}

void WayfinderTracker::handleConversionDataWithDelegate(
    const std::shared_ptr<WayfinderTrackerDelegate>& delegate)
{
    if (!answers(delegate, Callback::ConversionDataReceived))
        return;
    auto settings = configuration();
    try {
        auto defaults = Defaults::standard();
        auto stored = defaults->value(kConversionDataKey).dictionary();
        double expiration = defaults->real(kExpirationKey);
        bool expired = expiration != 0
            && platform::foundation::now().secondsSince1970 - expiration > kConversionDataLifetime;
        if (expired)
            defaults->setValue(kExpirationKey, 0.0);
        if (!expired && stored) {
            logCoversionData(stored, delegate, true);
            platform::foundation::mainQueue().after(
                kDeliveryDelay, [delegate, stored] { delegate->onConversionDataReceived(stored); });
            return;
        }
        if (defaults->integer(kRetriesKey) > kMaximumRetries)
            return;
        fetchConversionData(delegate, settings);
    } catch (const std::exception&) {
        if (answers(delegate, Callback::ConversionDataRequestFailure))
            delegate->onConversionDataRequestFailure(trackerError(0, "Wayfinder server data error."));
    }
}

void WayfinderTracker::fetchConversionData(
    const std::shared_ptr<WayfinderTrackerDelegate>& delegate, const Configuration& settings)
{
    platform::http::UrlRequest request;
    request.url = serviceURL() + "/install_data/v3/id" + settings.appleAppID + "?devkey=" + settings.devKey
        + "&device_id=" + getWayfinderUID();
    debugLog(__func__, "calling URL (conversion data): " + request.url);
    request.url = platform::http::percentEncodeQuery(request.url);
    bool nightVision = settings.nightVision;
    platform::http::DataTaskSession::shared().dataTask(std::move(request),
        [this, delegate, nightVision](const std::string& body,
            const std::optional<platform::http::HttpResponse>& response, const std::optional<Error>& error) {
            if (error) {
                if (nightVision)
                    WayfinderDebugQueue::sharedManager().logWithName(
                        "Conversion Data Error", Value(error->userInfo()));
                if (answers(delegate, Callback::ConversionDataRequestFailure))
                    platform::foundation::mainQueue().after(kDeliveryDelay,
                        [delegate, error] { delegate->onConversionDataRequestFailure(*error); });
                return;
            }
            if (response && answers(delegate, Callback::ConversionDataReceived))
                conversionAnswer(delegate, body, response->statusCode);
        });
}

void WayfinderTracker::conversionAnswer(
    const std::shared_ptr<WayfinderTrackerDelegate>& delegate, const std::string& body, int status)
{
    debugLog(__func__, "conversion response from server:" + body + " \n " + std::to_string(status));
    auto defaults = Defaults::standard();
    bool reportsFailures = answers(delegate, Callback::ConversionDataRequestFailure);
    if (status != 200) {
        if (!reportsFailures)
            return;
        if (status >= 400 && status <= 499) {
            std::lock_guard lock(m_refusalsMutex);
            defaults->setValue(kRetriesKey, defaults->integer(kRetriesKey) + 1);
        }
        delegate->onConversionDataRequestFailure(trackerError(
            status, "Wayfinder error response from server. Check your Wayfinder key and Apple app ID."));
        return;
    }
    {
        std::lock_guard lock(m_refusalsMutex);
        defaults->remove(kRetriesKey);
    }
    auto parsed = body.empty() ? platform::foundation::JsonResult {} : platform::foundation::parseJson(body);
    auto data = parsed.ok() ? parsed.value.dictionary() : nullptr;
    if (body.empty() || !data) {
        if (!reportsFailures)
            return;
        debugLog(__func__, std::to_string(body.size()));
        delegate->onConversionDataRequestFailure(body.empty()
                ? trackerError(1, "Wayfinder Empty response from server.")
                : trackerError(0, "Wayfinder bad JSON response."));
        return;
    }
    WayfinderUtils::recursivelyRemoveNulls(data);
    if (auto fresh = data->find("iscache")) {
        if (fresh->boolean() == false)
            defaults->setValue(kExpirationKey, platform::foundation::now().secondsSince1970);
        data->remove("iscache");
    }
    defaults->setValue(kConversionDataKey, Value(data));
    debugLog(__func__, "Caching conversion data.");
    logCoversionData(data, delegate, false);
    delegate->onConversionDataReceived(data);
}

void WayfinderTracker::logCoversionData(const DictionaryRef& data,
    const std::shared_ptr<WayfinderTrackerDelegate>& delegate, bool isFromCache) const
{
    if (!configuration().nightVision || delegate.get() == static_cast<const WayfinderTrackerDelegate*>(this))
        return;
    WayfinderDebugQueue::sharedManager().logWithName(
        isFromCache ? "onConversionDataReceived (cached)" : "onConversionDataReceived (from server)",
        Value(data));
}

}
