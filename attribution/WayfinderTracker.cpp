#include "attribution/WayfinderTracker.h"

#include "attribution/WayfinderUtils.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/ProcessInfo.h"
#include "platform/http/DataTaskSession.h"
#include "platform/http/Url.h"
#include "platform/ui/Application.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#ifndef ZORVIK_DEFAULT_WAYFINDER_URL
#error "ZORVIK_DEFAULT_WAYFINDER_URL must name the build's attribution service"
#endif

namespace attribution {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::mainQueue;

namespace {

constexpr double kEventDelay { 0.001 };

std::string withoutTrailingSlashes(std::string url)
{
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    return url;
}

}

WayfinderTracker& WayfinderTracker::sharedTracker()
{
    // Never destroyed: requests and the background observer may still use it while the process ends.
    static auto* tracker = new std::shared_ptr<WayfinderTracker>(std::make_shared<WayfinderTracker>());
    return **tracker;
}

std::string WayfinderTracker::serviceURL()
{
    const char* set = std::getenv("ZORVIK_WAYFINDER_URL");
    return withoutTrailingSlashes(set && *set ? set : ZORVIK_DEFAULT_WAYFINDER_URL);
}

WayfinderTracker::WayfinderTracker()
    : m_platfromDevName(WayfinderUtils::develomentPlatformName())
{
    m_backgroundObserver = platform::foundation::NotificationCenter::defaultCenter().addObserver(
        platform::ui::Application::didEnterBackgroundNotification, nullptr,
        [this](const platform::foundation::Notification&) { handleEnteredBackground(); });
}

WayfinderTracker::Configuration WayfinderTracker::configuration() const
{
    std::lock_guard lock(m_mutex);
    return m_configuration;
}

void WayfinderTracker::debugLog(const char* function, const std::string& text) const
{
    if (configuration().isDebug)
        platform::foundation::Log().write(std::string("Wayfinder: ") + function + " " + text);
}

std::string WayfinderTracker::wayfinderDevKey() const
{
    return configuration().devKey;
}

void WayfinderTracker::setWayfinderDevKey(std::string devKey)
{
    std::lock_guard lock(m_mutex);
    m_configuration.devKey = std::move(devKey);
}

std::string WayfinderTracker::appleAppID() const
{
    return configuration().appleAppID;
}

void WayfinderTracker::setAppleAppID(std::string appleAppID)
{
    std::lock_guard lock(m_mutex);
    m_configuration.appleAppID = std::move(appleAppID);
}

std::string WayfinderTracker::customerUserID() const
{
    return configuration().customerUserID;
}

void WayfinderTracker::setCustomerUserID(std::string customerUserID)
{
    std::lock_guard lock(m_mutex);
    m_configuration.customerUserID = std::move(customerUserID);
}

std::string WayfinderTracker::currencyCode() const
{
    return configuration().currencyCode;
}

void WayfinderTracker::setCurrencyCode(std::string currencyCode)
{
    std::lock_guard lock(m_mutex);
    m_configuration.currencyCode = std::move(currencyCode);
}

bool WayfinderTracker::isDebug() const
{
    return configuration().isDebug;
}

void WayfinderTracker::setIsDebug(bool isDebug)
{
    {
        std::lock_guard lock(m_mutex);
        m_configuration.isDebug = isDebug;
    }
    if (!isDebug)
        return;
    platform::foundation::Log log;
    log.write("* * * Wayfinder is set to debug mode. This should only be used in development enviornment!!!! "
              "* * *");
    log.write(std::string("Wayfinder SDK version 3.") + kSDKVersion + " started");
}

bool WayfinderTracker::shouldCollectDeviceName() const
{
    return configuration().shouldCollectDeviceName;
}

void WayfinderTracker::setShouldCollectDeviceName(bool collect)
{
    debugLog(
        __func__, std::string("setShouldCollectDeviceName is called with flag: ") + (collect ? "YES" : "NO"));
    std::lock_guard lock(m_mutex);
    m_configuration.shouldCollectDeviceName = collect;
}

bool WayfinderTracker::deviceTrackingDisabled() const
{
    return configuration().deviceTrackingDisabled;
}

void WayfinderTracker::setDeviceTrackingDisabled(bool disabled)
{
    std::lock_guard lock(m_mutex);
    m_configuration.deviceTrackingDisabled = disabled;
}

bool WayfinderTracker::disableAppleAdSupportTracking() const
{
    return configuration().disableAppleAdSupportTracking;
}

void WayfinderTracker::setDisableAppleAdSupportTracking(bool disabled)
{
    std::lock_guard lock(m_mutex);
    m_configuration.disableAppleAdSupportTracking = disabled;
}

bool WayfinderTracker::useReceiptValidationSandbox() const
{
    return configuration().useReceiptValidationSandbox;
}

void WayfinderTracker::setUseReceiptValidationSandbox(bool sandbox)
{
    {
        std::lock_guard lock(m_mutex);
        m_configuration.useReceiptValidationSandbox = sandbox;
    }
    platform::foundation::Log().write(
        "* * * Wayfinder is set to verify in app purchases on Apple sandbox. This "
        "should only be used in development enviornment!!!! * * *");
}

bool WayfinderTracker::isAFNightVisionMode() const
{
    return configuration().nightVision;
}

void WayfinderTracker::setIsAFNightVisionMode(bool on)
{
    std::lock_guard lock(m_mutex);
    m_configuration.nightVision = on;
}

void WayfinderTracker::setUserEmails(platform::foundation::ArrayRef emails, std::int32_t cryptType)
{
    std::lock_guard lock(m_mutex);
    m_configuration.userEmails = std::move(emails);
    m_configuration.emailCryptType = cryptType;
}

std::shared_ptr<WayfinderTrackerDelegate> WayfinderTracker::delegate() const
{
    std::lock_guard lock(m_mutex);
    return m_delegate.lock();
}

void WayfinderTracker::setDelegate(const std::shared_ptr<WayfinderTrackerDelegate>& delegate)
{
    {
        std::lock_guard lock(m_mutex);
        m_delegate = delegate;
    }
    handleConversionDataWithDelegate(delegate);
}

void WayfinderTracker::loadConversionDataWithDelegate(
    const std::shared_ptr<WayfinderTrackerDelegate>& delegate)
{
    handleConversionDataWithDelegate(delegate);
}

void WayfinderTracker::trackAppLaunch()
{
    debugLog(__func__, "Launch");
    mainQueue().after(kLaunchDelay, [this] { sendLaunchToServer(); });
}

void WayfinderTracker::sendLaunchToServer()
{
    double now = platform::foundation::now().secondsSince1970;
    double passed = 0;
    {
        std::lock_guard lock(m_mutex);
        passed = now - m_lastLaunchTime;
        if (passed > kMinimumLaunchInterval)
            m_lastLaunchTime = now;
    }
    if (passed > kMinimumLaunchInterval) {
        callServerWithEventName(kLaunchedEvent);
        return;
    }
    if (!isDebug())
        return;
    char text[64];
    std::snprintf(text, sizeof text, "Time from launch %f", passed);
    platform::foundation::Log().write(text);
}

void WayfinderTracker::trackEvent(const std::string& name, const std::string& value)
{
    if (isDebug() && !value.empty() && value.find_first_not_of("0123456789-.") == std::string::npos)
        platform::foundation::Log().write("Wayfinder: numeric value '" + value + "' for event '" + name
            + "' will be categorized as a revenue event.");
    mainQueue().after(kEventDelay, [this, name, value] { callServerWithEventName(name, value); });
}

void WayfinderTracker::trackEvent(const std::string& name, const DictionaryRef& values)
{
    auto copy = values ? values->deepCopy() : nullptr;
    m_dispatchQueue.async([this, name, copy] {
        std::optional<std::string> text = "null";
        if (copy)
            text = platform::foundation::toJson(platform::foundation::Value(copy));
        std::string escaped;
        for (char c : platform::http::percentEncodeQuery(*text)) {
            if (c == ',')
                escaped += "%2C";
            else
                escaped += c;
        }
        callServerWithEventName(name, escaped, nullptr, true);
    });
}

void WayfinderTracker::trackLocation(double longitude, double latitude)
{
    trackEvent("wf_location_coordinates",
        Dictionary::make({ { "longitude", longitude }, { "latitude", latitude } }));
}

void WayfinderTracker::handleOpenURL(const std::string& url, const std::string& sourceApplication)
{
    {
        std::lock_guard lock(m_mutex);
        m_deeplink = url;
        m_sourceApplication = sourceApplication;
    }
    debugLog(__func__, "HandleOpenUrl: " + url);
}

void WayfinderTracker::continueUserActivity(const std::string& activityType, const std::string& webpageURL)
{
    debugLog(__func__, "User Activity: " + activityType + ", restoration Handler: (null)");
    if (activityType != "NSUserActivityTypeBrowsingWeb")
        return;
    std::lock_guard lock(m_mutex);
    m_deeplink = webpageURL;
}

void WayfinderTracker::handleEnteredBackground()
{
    incrementRealLaunchCounter();
    auto& activities = platform::foundation::ProcessInfo::processInfo();
    auto activity = activities.beginActivity(
        platform::foundation::ProcessInfo::kActivitySuddenTerminationDisabled, "callStats");
    platform::foundation::DispatchQueue::global().async([this, activity] {
        backgroundstatCall();
        platform::foundation::ProcessInfo::processInfo().endActivity(activity);
    });
}

void WayfinderTracker::backgroundstatCall()
{
    try {
        double elapsed = 0;
        {
            std::lock_guard lock(m_mutex);
            elapsed = platform::foundation::now().secondsSince1970 - m_lastLaunchTime;
        }
        char text[64];
        std::snprintf(text, sizeof text, "entered background %f", elapsed);
        debugLog(__func__, text);
        auto settings = configuration();
        platform::http::UrlRequest request;
        request.url = serviceURL() + "/stats";
        request.method = "POST";
        debugLog(__func__, "calling URL (move to background): " + request.url);
        char timeInApp[64];
        std::snprintf(timeInApp, sizeof timeInApp, "%.0f", elapsed / 1000);
        request.body = "app_id=" + settings.appleAppID + "&devkey=" + settings.devKey + "&uid="
            + getWayfinderUID() + "&time_in_app=" + timeInApp + "&statType=user_closed_app&launch_counter="
            + std::to_string(getCounter(false)) + "&platform=iOS";
        request.setValue("application/text", "Content-Type");
        debugLog(__func__, "sending stat to server " + request.url + ":\n" + request.body);
        platform::http::DataTaskSession::shared().dataTask(std::move(request),
            [this](const std::string&, const std::optional<platform::http::HttpResponse>&,
                const std::optional<platform::foundation::Error>& error) {
                if (error)
                    debugLog("backgroundstatCall",
                        "Error when sending stats to server :" + error->localizedDescription());
                else
                    debugLog("backgroundstatCall", "Success sending stats to server");
            });
    } catch (const std::exception& exception) {
        debugLog(__func__, std::string("could not track move to background: ") + exception.what());
    }
}

bool WayfinderTracker::respondsTo(Callback callback) const
{
    return callback == Callback::ConversionDataReceived || callback == Callback::ConversionDataRequestFailure;
}

void WayfinderTracker::onConversionDataReceived(const DictionaryRef& data)
{
    debugLog(
        __func__, "Caching attribution. " + platform::foundation::toJson(platform::foundation::Value(data)));
}

void WayfinderTracker::onConversionDataRequestFailure(const platform::foundation::Error& error)
{
    debugLog(__func__, "did not load install data: " + error.localizedDescription());
}

void WayfinderTracker::waitUntilIdle()
{
    m_dispatchQueue.waitUntilIdle();
    platform::foundation::DispatchQueue::global().waitUntilIdle();
    platform::http::DataTaskSession::shared().waitUntilIdle();
    m_dispatchQueue.waitUntilIdle();
}

void WayfinderTracker::reset()
{
    waitUntilIdle();
    std::lock_guard lock(m_mutex);
    m_configuration = {};
    m_delegate.reset();
    m_lastLaunchTime = 0;
    m_deeplink.reset();
    m_sourceApplication.reset();
}

}
