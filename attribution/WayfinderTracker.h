#pragma once

#include "attribution/WayfinderTrackerDelegate.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform::foundation {
class DateFormatter;
}

namespace attribution {

/// The process's install-attribution tracker. It reports launches, in-app events and moves to the background
/// to the attribution service, fetches and keeps the install's conversion data, validates in-app purchase
/// receipts and tells its delegate of the results. The app sets the developer key and App Store id once and
/// calls trackAppLaunch() on every activation; failures stay inside the tracker.
///
/// The service's address is the build setting ZORVIK_WAYFINDER_URL (an environment variable of that name
/// overrides it); its launch, event, statistics, conversion-data and receipt routes all live there. What the
/// tracker keeps lives in the standard defaults ("Wayfinder..." keys) and in the request cache's folder.
/// Thread-safe: it is used from the main queue, its own serial queue and the URL session's threads.
class WayfinderTracker : public WayfinderTrackerDelegate,
                         public std::enable_shared_from_this<WayfinderTracker> {
public:
    /// The version requests are made by, sent as their "buildnumber" and kept with cached requests.
    static constexpr const char* kSDKVersion { "3.0" };
    /// Seconds from trackAppLaunch() to its request.
    static constexpr double kLaunchDelay { 0.1 };
    /// A launch less than this many seconds after the previous launch request sends nothing.
    static constexpr double kMinimumLaunchInterval { 1.5 };
    /// The name of the launch event.
    static constexpr const char* kLaunchedEvent { "Launched" };
    /// Conversion data kept longer than this many seconds after a fresh answer is fetched again (60 days).
    static constexpr double kConversionDataLifetime { 5184000 };
    /// The error domain of the conversion data failures the tracker makes itself.
    static constexpr const char* kErrorDomain { "com.wayfinder.ErrorDomain" };

    /// The process's tracker, made on first use and never destroyed.
    static WayfinderTracker& sharedTracker();
    /// The attribution service's root URL: $ZORVIK_WAYFINDER_URL, else the build's.
    static std::string serviceURL();

    std::string wayfinderDevKey() const;
    void setWayfinderDevKey(std::string devKey);
    std::string appleAppID() const;
    void setAppleAppID(std::string appleAppID);
    std::string customerUserID() const;
    void setCustomerUserID(std::string customerUserID);
    std::string currencyCode() const;
    void setCurrencyCode(std::string currencyCode);
    bool isDebug() const;
    /// Turns the progress and trace lines on or off (failures and warnings are logged either way); turning
    /// them on logs a warning that debug mode is for development, and the tracker's version.
    void setIsDebug(bool isDebug);
    bool shouldCollectDeviceName() const;
    void setShouldCollectDeviceName(bool collect);
    bool deviceTrackingDisabled() const;
    void setDeviceTrackingDisabled(bool disabled);
    bool disableAppleAdSupportTracking() const;
    void setDisableAppleAdSupportTracking(bool disabled);
    bool useReceiptValidationSandbox() const;
    /// Validates purchases against the store's sandbox (or not); logs a warning either way.
    void setUseReceiptValidationSandbox(bool sandbox);
    /// Diagnostic mode: requests and conversion answers are written to the WayfinderDebugQueue. Off unless
    /// a developer turns it on.
    bool isAFNightVisionMode() const;
    void setIsAFNightVisionMode(bool on);
    /// The user's e-mail addresses (an array; only its strings are sent) and how they are sent: 0 as they
    /// are, 2 as MD5 digests, anything else as SHA-1 digests.
    void setUserEmails(platform::foundation::ArrayRef emails, std::int32_t cryptType);

    /// The delegate (held weakly).
    std::shared_ptr<WayfinderTrackerDelegate> delegate() const;
    /// Stores the delegate and at once delivers it the conversion data (handleConversionDataWithDelegate()).
    void setDelegate(const std::shared_ptr<WayfinderTrackerDelegate>& delegate);
    /// Delivers the conversion data to `delegate` without storing it.
    void loadConversionDataWithDelegate(const std::shared_ptr<WayfinderTrackerDelegate>& delegate);

    /// Reports a launch: asks no ad-attribution client (this platform has none), then after kLaunchDelay on
    /// the main queue sends the "Launched" request, unless the previous one went less than
    /// kMinimumLaunchInterval before (logged in debug mode).
    void trackAppLaunch();
    /// Sends the event `name` with `value`, after 1 ms on the main queue; in debug mode a numeric value is
    /// logged as a revenue event.
    void trackEvent(const std::string& name, const std::string& value);
    /// Sends the event `name` with `values` (or "null" without) as escaped JSON, on the tracker's queue.
    void trackEvent(const std::string& name, const platform::foundation::DictionaryRef& values);
    /// Sends the event "wf_location_coordinates" with the two coordinates.
    void trackLocation(double longitude, double latitude);

    /// Keeps `url` as the deep link the app was opened by, sent with the next launch request.
    void handleOpenURL(const std::string& url, const std::string& sourceApplication);
    /// Keeps a web-browsing activity's page URL as the deep link; other activities are only logged.
    void continueUserActivity(const std::string& activityType, const std::string& webpageURL);

    /// Has the store receipt checked by the service and sends the event "wf_purchase", validated or not.
    /// `success` gets the service's answer when it names the transaction; `failure` the error (if any) and
    /// the answer. Without a product or transaction id nothing happens but a log line.
    void validateAndTrackInAppPurchase(const std::string& productIdentifier, const std::string& price,
        const std::string& currency, const std::string& transactionId,
        const platform::foundation::Value& additionalParameters,
        std::function<void(const platform::foundation::DictionaryRef& response)> success,
        std::function<void(const std::optional<platform::foundation::Error>& error,
            const platform::foundation::Value& response)>
            failure);

    /// Builds and sends one launch or event request (no event name counts as a launch); `purchase` adds its
    /// "productId", "price" and "validated"; `newAPI` sends to the event route.
    void callServerWithEventName(const std::optional<std::string>& eventName,
        const std::optional<std::string>& value = std::nullopt,
        const platform::foundation::DictionaryRef& purchase = nullptr, bool newAPI = false);
    /// The request URL of `kind` for `appID`: the service, "/api/v3/ios<kind>", and the app and build (launch
    /// and event requests share the service's one host).
    static std::string createURLFor(const std::string& kind, const std::string& appID);

    /// Delivers the conversion data to `delegate`: the kept copy (unless 60 days old), else the service's
    /// answer, after at most five refusals (4xx) per app version.
    void handleConversionDataWithDelegate(const std::shared_ptr<WayfinderTrackerDelegate>& delegate);

    /// Counts a move to the background and sends the statistic of the time spent in the app.
    void handleEnteredBackground();

    /// The per-install identifier: the install date in milliseconds (local time), "-", a random number.
    std::string getWayfinderUID();
    /// The install date: when the app's Library folder was made.
    platform::foundation::Date installDate() const;
    /// The hardware's machine name with "," replaced by ";".
    static std::string getDevicePaltform();
    /// Logs an App Store id that is missing or not all digits.
    void validateAppID() const;
    /// The launch counter, raised by one first when `increase`.
    std::int32_t getCounter(bool increase);
    /// The number of moves to the background plus one.
    std::int32_t getRealLaunchCounter();
    void incrementRealLaunchCounter();
    /// The in-app event counter, raised by one first when `increase`.
    std::int32_t getInAppCounter(bool increase);
    /// Seconds since the previous request (−1 for the first), and marks now.
    double getTimePassedSinceLastLaunch();
    /// The install date, the first launch date ("" when the install launched before these were kept) and
    /// the date the app's version was first seen, as `formatter` writes them, each kept once made.
    std::string getInstallDate(const platform::foundation::DateFormatter& formatter);
    std::string getFirstLanuchDate(const platform::foundation::DateFormatter& formatter);
    std::string getVersionUpdateDate(const std::string& version, const std::string& currentUpdateDate);

    /// The delegate methods of the tracker itself: they only log.
    bool respondsTo(Callback callback) const override;
    void onConversionDataReceived(const platform::foundation::DictionaryRef& data) override;
    void onConversionDataRequestFailure(const platform::foundation::Error& error) override;

    /// Waits until the tracker's queue and the requests it started are done: for tests.
    void waitUntilIdle();
    /// Forgets the settings, the delegate and the launch time, after waitUntilIdle(): for tests.
    void reset();

    /// Made by sharedTracker() (public for std::make_shared).
    WayfinderTracker();

private:
    // The defaults key of the conversion data kept from the service's last answer.
    static constexpr const char* kConversionDataKey { "WayfinderConversiondataKey" };

    struct Configuration {
        std::string devKey;
        std::string appleAppID;
        std::string customerUserID;
        std::string currencyCode;
        bool isDebug { false };
        bool shouldCollectDeviceName { true };
        bool deviceTrackingDisabled { false };
        bool disableAppleAdSupportTracking { false };
        bool useReceiptValidationSandbox { false };
        bool nightVision { false };
        platform::foundation::ArrayRef userEmails;
        std::int32_t emailCryptType { 0 };
    };

    Configuration configuration() const;
    void debugLog(const char* function, const std::string& text) const;
    void sendLaunchToServer();
    void backgroundstatCall();
    // The request's fields as one text, in the service's order; advances the counters and takes the deep
    // link.
    std::string postData(const Configuration& settings, const std::optional<std::string>& eventName,
        const std::optional<std::string>& value, const platform::foundation::DictionaryRef& purchase,
        bool newAPI, const platform::foundation::DictionaryRef& receipt, bool hasConversionData);
    std::string deviceFields(const Configuration& settings);
    std::string dateFields();
    std::string emailField(const Configuration& settings) const;
    void takeDeepLink(std::string& fields);
    void fetchConversionData(
        const std::shared_ptr<WayfinderTrackerDelegate>& delegate, const Configuration& settings);
    void conversionAnswer(
        const std::shared_ptr<WayfinderTrackerDelegate>& delegate, const std::string& body, int status);
    void logCoversionData(const platform::foundation::DictionaryRef& data,
        const std::shared_ptr<WayfinderTrackerDelegate>& delegate, bool isFromCache) const;

    mutable std::mutex m_mutex;
    // Held while a request's counters, identifier and dates are read and moved on, so that requests built on
    // different threads at once neither share a count nor make two identifiers.
    std::recursive_mutex m_identityMutex;
    // Held while the count of refused conversion data fetches is read and written: their answers arrive on
    // the URL session's threads at once.
    std::mutex m_refusalsMutex;
    Configuration m_configuration;
    std::weak_ptr<WayfinderTrackerDelegate> m_delegate;
    double m_lastLaunchTime { 0 };
    std::optional<std::string> m_deeplink;
    std::optional<std::string> m_sourceApplication;
    std::string m_platfromDevName;
    platform::foundation::ObserverToken m_backgroundObserver;
    platform::foundation::DispatchQueue m_dispatchQueue { "com.wayfinder.WayfinderQueue" };
};

}
