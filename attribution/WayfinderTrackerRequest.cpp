// Building the launch and event requests: the fields that describe the install, the device, the counters
// and the event, scrambled and handed to the server handler.
#include "attribution/WayfinderTracker.h"

#include "attribution/WayfinderDebugQueue.h"
#include "attribution/WayfinderRequestCacheData.h"
#include "attribution/WayfinderScrambler.h"
#include "attribution/WayfinderServerHandler.h"
#include "attribution/WayfinderUtils.h"

#include "platform/foundation/AdvertisingIdentifierManager.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Device.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <filesystem>

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/stat.h>

namespace attribution {

using platform::foundation::Defaults;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

constexpr const char* kInstallTimestampKey { "WayfinderInstallTimestamp" };
constexpr const char* kIAdAttributionKey { "WayfinderiAdAttributionKey" };
constexpr const char* kIAdPurchaseDateKey { "WayfinderiAdPurchaseDate" };
constexpr const char* kIAdImpressionDateKey { "WayfinderiAdImpressionDate" };

std::string printed(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A number as the platform's number object writes it: the shortest text that reads back as the same double.
std::string numberText(double value)
{
    char text[64];
    auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string infoText(const char* key)
{
    return platform::foundation::Bundle::main()->objectForInfoDictionaryKey(key).stringValue();
}

// When the process's temporary folder last changed.
platform::foundation::Date temporaryDirectoryDate()
{
    struct stat status { };
    std::error_code error;
    auto path = std::filesystem::temp_directory_path(error);
    if (error || stat(path.c_str(), &status) != 0)
        return platform::foundation::now();
    return { static_cast<double>(status.st_mtim.tv_sec) + status.st_mtim.tv_nsec / 1e9 };
}

// Whether the Wi-Fi interface ("en0") has an IPv4 address.
bool onWifi()
{
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0)
        return false;
    bool found = false;
    for (auto* entry = interfaces; entry; entry = entry->ifa_next) {
        if (entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET && std::string(entry->ifa_name) == "en0"
            && !(entry->ifa_flags & IFF_LOOPBACK))
            found = true;
    }
    freeifaddrs(interfaces);
    return found;
}

}

std::string WayfinderTracker::createURLFor(const std::string& kind, const std::string& appID)
{
    return serviceURL() + "/api/v3/ios" + kind + "?app_id=" + appID + "&buildnumber=" + kSDKVersion;
}

void WayfinderTracker::callServerWithEventName(const std::optional<std::string>& eventName,
    const std::optional<std::string>& value, const DictionaryRef& purchase, bool newAPI)
{
    try {
        auto settings = configuration();
        debugLog(__func__, std::string("(") + kSDKVersion + "): entered callServerWithEventName. ");
        debugLog(
            __func__, "dev key: " + (settings.devKey.empty() ? std::string("missing!!!") : settings.devKey));
        if (settings.devKey.empty()) {
            platform::foundation::Log().write("Wayfinder dev key is missing");
            return;
        }
        validateAppID();
        std::unique_lock identity(m_identityMutex);
        bool isLaunch = eventName == kLaunchedEvent;
        auto defaults = Defaults::standard();
        auto installed = defaults->string(kInstallTimestampKey);
        debugLog(__func__,
            std::string("First time = ") + (installed ? "0 " : "1 ") + installed.value_or("(null)") + " "
                + kInstallTimestampKey);
        DictionaryRef receipt;
        if (!installed && isLaunch) {
            debugLog(__func__, "Get install receipt");
            receipt = WayfinderUtils::getStoreReceipt();
        }
        if (!installed)
            defaults->setValue(
                kInstallTimestampKey, printed("%f", platform::foundation::now().secondsSince1970));
        bool hadConversionData = !defaults->value(kConversionDataKey).isNull();

        auto fields = postData(settings, eventName, value, purchase, newAPI, receipt, hadConversionData);
        identity.unlock();
        debugLog(__func__, "data=" + fields);
        std::int32_t logId = -1;
        if (settings.nightVision)
            logId = WayfinderDebugQueue::sharedManager().logWithName(
                isLaunch ? "Launch" : "Event: " + eventName.value_or("(null)"), fields);
        auto request = std::make_shared<WayfinderRequestCacheData>(createURLFor("event", settings.appleAppID),
            WayfinderScrambler::scramble(fields, settings.devKey), kSDKVersion);
        std::function<void()> completion;
        if (!hadConversionData && isLaunch) {
            completion = [this] {
                auto listener = delegate();
                if (!listener || !listener->respondsTo(Callback::ConversionDataReceived))
                    handleConversionDataWithDelegate(shared_from_this());
            };
        }
        WayfinderServerHandler::sendRequestEventToServer(
            request, false, settings.isDebug, logId, std::move(completion));
    } catch (const std::exception& exception) {
        platform::foundation::Log().write(std::string("Error could not send url: ") + exception.what());
    }
}

std::string WayfinderTracker::postData(const Configuration& settings,
    const std::optional<std::string>& eventName, const std::optional<std::string>& value,
    const DictionaryRef& purchase, bool newAPI, const DictionaryRef& receipt, bool hasConversionData)
{
    bool isLaunch = eventName == kLaunchedEvent;
    auto defaults = Defaults::standard();
    std::string fields = "uid=" + getWayfinderUID() + ",";
    if (receipt && receipt->get("status").stringValue() != "-1") {
        if (auto text = WayfinderUtils::getJsonStringFromDictionary(Value(receipt)))
            fields += "installReceiptData=" + *text + ",";
    }
    fields += deviceFields(settings);
    fields += "counter=" + std::to_string(getCounter(!eventName || isLaunch)) + ",";
    fields += "sessioncounter=" + std::to_string(getRealLaunchCounter()) + ",";
    fields += "iaecounter=" + std::to_string(getInAppCounter(eventName && !isLaunch)) + ",";
    fields += printed("timepassedsincelastlaunch=%f,", getTimePassedSinceLastLaunch());
    if (purchase) {
        fields += "productId=" + purchase->get("productId").stringValue() + ",";
        fields += "price=" + purchase->get("price").stringValue() + ",";
        fields += "validated=" + purchase->get("validated").stringValue() + ",";
    }
    if (isLaunch)
        takeDeepLink(fields);
    if (settings.deviceTrackingDisabled)
        fields += "deviceTrackingDisabled=true,";
    // Without the phone's advertising-identifier service, or told not to read it: no identifier, "false".
    auto advertising = settings.disableAppleAdSupportTracking
        ? nullptr
        : platform::foundation::AdvertisingIdentifierManager::sharedManager();
    if (advertising)
        debugLog(__func__, "has advertiserId");
    fields += "advertiserId=" + (advertising ? advertising->advertisingIdentifier().string() : std::string())
        + ",advertiserIdEnabled="
        + (advertising && advertising->isAdvertisingTrackingEnabled() ? "true" : "false") + ",";
    fields
        += "bundleIdentifier=" + platform::foundation::Bundle::main()->bundleIdentifier().value_or("") + ",";
    if (auto vendor = platform::ui::Device::current().identifierForVendor())
        fields += "vendorId=" + vendor->string() + ",";
    if (!settings.currencyCode.empty()) {
        if (settings.currencyCode.size() != 3)
            platform::foundation::Log().write("Wayfinder WARNING: currency code should be 3 characters!!! '"
                + settings.currencyCode + "' is not a legal value.");
        fields += "currency=" + settings.currencyCode + ",";
    }
    fields += "bundleversion=" + infoText("CFBundleVersion")
        + ",bundlename=" + infoText("CFBundleDisplayName")
        + ",shortbundleversion=" + infoText("CFBundleShortVersionString") + ",";
    fields += dateFields();
    fields += "currentLanguage=" + platform::foundation::DeviceInfo::preferredLanguage() + ",";
    fields += "currentCountrycode=" + platform::foundation::DeviceInfo::countryCode() + ",";
    fields += "timestamp=" + numberText(platform::foundation::now().secondsSince1970) + ",";
    fields += "event=" + eventName.value_or("(null)") + ",";
    fields += "eventvalue=" + value.value_or("") + ",";
    if (!settings.customerUserID.empty())
        fields += "appUID=" + settings.customerUserID + ",";
    debugLog(__func__, "check network");
    fields += onWifi() ? "wifi=YES," : "wifi=NO,";
    if (hasConversionData)
        fields += "installAttribution=" + platform::foundation::toJson(defaults->value(kConversionDataKey))
            + ",";
    if (auto attributed = defaults->value(kIAdAttributionKey); !attributed.isNull()) {
        fields += std::string("wf_iadattribution=") + (attributed.boolValue() ? "true" : "false") + ",";
        if (auto date = defaults->string(kIAdPurchaseDateKey))
            fields += "wf_iad_purchase_date=" + *date + ",";
        if (auto date = defaults->string(kIAdImpressionDateKey))
            fields += "wf_iad_impression_date=" + *date + ",";
    }
    if (newAPI)
        fields += "wf_events_api=1,";
    fields += emailField(settings);
    return fields;
}

std::string WayfinderTracker::deviceFields(const Configuration& settings)
{
    using platform::foundation::DeviceInfo;
    std::string fields;
    if (settings.shouldCollectDeviceName)
        fields += "name=" + DeviceInfo::name() + ",";
    fields += "systemname=" + DeviceInfo::systemName() + ",";
    fields += "systemversion=" + DeviceInfo::systemVersion() + ",";
    fields += "model=" + DeviceInfo::model() + ",";
    fields += "localizedmodel=" + DeviceInfo::localizedModel() + ",";
    fields += "platform=" + getDevicePaltform() + ",";
    fields += "platformextension=" + m_platfromDevName + ",";
    return fields;
}

std::string WayfinderTracker::dateFields()
{
    platform::foundation::DateFormatter formatter(
        "yyyy-MM-dd_HHmmZ", "en_US", platform::foundation::DeviceEnvironment::timeZoneIdentifier());
    auto date1 = getInstallDate(formatter);
    auto date2 = formatter.format(temporaryDirectoryDate());
    debugLog(__func__, "Looking for previous version date.");
    auto date3 = getVersionUpdateDate(infoText("CFBundleVersion"), date2);
    debugLog(__func__, "date1= " + date1);
    debugLog(__func__, "date2= " + date2);
    debugLog(__func__, "date3= " + date3);
    return "date1=" + date1 + ",date2=" + date2 + ",date3=" + date3
        + ",firstLaunchDate=" + getFirstLanuchDate(formatter) + ",";
}

void WayfinderTracker::takeDeepLink(std::string& fields)
{
    std::optional<std::string> link;
    std::optional<std::string> source;
    {
        std::lock_guard lock(m_mutex);
        link = std::exchange(m_deeplink, std::nullopt);
        source = std::exchange(m_sourceApplication, std::nullopt);
    }
    if (!link)
        return;
    fields += "wf_deeplink=" + *link + ",";
    if (source)
        fields += "deeplink_sourceapplication=" + *source + ",";
    DictionaryRef parameters;
    if (link->find("wf_deeplink=") != std::string::npos) {
        parameters = WayfinderUtils::URLQueryParameters(*link);
        debugLog(
            __func__, "Wayfinder deepLinkParameters = " + platform::foundation::toJson(Value(parameters)));
    } else {
        debugLog(__func__, "Opened from Link = " + *link);
        parameters = platform::foundation::Dictionary::make({ { "link", *link } });
    }
    auto listener = delegate();
    if (listener && listener->respondsTo(Callback::AppOpenAttribution))
        platform::foundation::mainQueue().after(
            0.001, [listener, parameters] { listener->onAppOpenAttribution(parameters); });
}

std::string WayfinderTracker::emailField(const Configuration& settings) const
{
    if (!settings.userEmails)
        return {};
    std::string list;
    std::string key;
    for (const auto& entry : *settings.userEmails) {
        if (list.size() >= 2)
            list += ",";
        const auto* address = entry.string();
        if (!address) {
            debugLog(__func__, "Warning:: Emails provided are not in the right format.");
            continue;
        }
        if (settings.emailCryptType == 0) {
            list += *address;
            key = "plain_el_arr=";
        } else if (settings.emailCryptType == 2) {
            list += WayfinderUtils::md5(*address);
            key = "md5_el_arr=";
        } else {
            list += WayfinderUtils::sha1(*address);
            key = "sha1_el_arr=";
        }
    }
    return key.empty() ? std::string() : key + list;
}

}
