#include "conversion/ACTReporterPrivate.h"

#include "conversion/ACTDevice.h"
#include "conversion/ACTLog.h"
#include "conversion/ACTPinger.h"
#include "conversion/ACTQueryParameters.h"
#include "conversion/ACTSDKVersion.h"

#include "platform/foundation/Dictionary.h"
#include "platform/http/Url.h"

namespace conversion {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::http::UrlRequest;

namespace {

constexpr double kPingTimeout { 60 };

}

bool ACTReporterPrivate::report()
{
    auto info = m_reportingInfoDelegate.lock();
    if (!info || !info->shouldReport())
        return false;
    auto common = commonQueryParameters();
    if (requiresDeviceIdentifier()) {
        auto identifier = ACTDevice::currentDevice().resettableDeviceID();
        if (!identifier || identifier->empty())
            return false;
    } else {
        const auto* stored = common ? common->find("rdid") : nullptr;
        const auto* identifier = stored ? stored->string() : nullptr;
        if (!identifier || identifier->empty())
            return false;
    }
    auto parameters = common ? common->shallowCopy() : Dictionary::make();
    if (auto own = info->queryParameters())
        parameters->addEntries(*own);
    auto url = reportingURLWithQueryParameters(parameters);
    if (!url) {
        log("not sending ping. Invalid URL.");
        return false;
    }
    log("sending ping: " + *url + ".");
    UrlRequest request;
    request.url = *url;
    request.cachePolicy = UrlRequest::CachePolicy::ReloadIgnoringLocalCacheData;
    request.timeoutInterval = kPingTimeout;
    auto pinger = ACTPinger::make(std::move(request));
    pinger->setDelegate(m_pingerDelegate.lock());
    pinger->ping();
    return true;
}

std::optional<std::string> ACTReporterPrivate::reportingURLWithQueryParameters(
    const DictionaryRef& parameters) const
{
    auto info = m_reportingInfoDelegate.lock();
    if (!info)
        return std::nullopt;
    auto url = info->reportingURLPrefix()
        + act_queryParametersJoinedByString(parameters, info->queryParameterSeparator());
    if (!platform::http::isValidUrl(url))
        return std::nullopt;
    return url;
}

DictionaryRef ACTReporterPrivate::commonQueryParameters() const
{
    auto& device = ACTDevice::currentDevice();
    auto identifier = device.resettableDeviceID();
    if (!identifier)
        return nullptr;
    return Dictionary::make({
        { "rdid", *identifier },
        { "timestamp", act_secondsSince1970() },
        { "bundleid", device.bundleID() },
        { "appversion", device.appVersion() },
        { "osversion", device.OSVersion() },
        { "sdkversion", kSDKVersion },
    });
}

void ACTReporterPrivate::log(const std::string& message) const
{
    ACTLog::logPublicMessage(message, className());
}

}
