#pragma once

#include "platform/foundation/Value.h"
#include "testing/backend/BackendReply.h"
#include "testing/server/ServerRequest.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing {

class Backend;

/// One launch or event request as the attribution service decoded it.
struct AttributionRequest {
    /// The URL's "app_id" and "buildnumber".
    std::string appId;
    std::string buildNumber;
    /// Whether the tracker sent it again from its retry cache ("isCachedRequest=true"), and the seconds it
    /// says it spent there ("timeincache").
    bool cached { false };
    std::optional<double> timeInCache;
    /// The body's fields as the tracker wrote them, before scrambling, and the pairs read from them.
    std::string text;
    std::vector<std::pair<std::string, std::string>> fields;

    /// The value of the field `name`, or nullopt.
    std::optional<std::string> field(std::string_view name) const;
};

/// One receipt validation request as the service received it.
struct ReceiptValidation {
    std::string appId;
    std::string wayfinderId;
    std::string devKey;
    bool sandbox { false };
    /// The receipt, read from the Base64 "receipt-data" as JSON (null when it is none).
    platform::foundation::Value receipt;
};

/// The install-attribution service of the local back-end. It knows apps by App Store id and developer key
/// (the build's app, ZORVIK_WAYFINDER_APP_ID and ZORVIK_WAYFINDER_DEV_KEY, from the start; addApp() for
/// more):
///
///   POST /api/v3/iosevent?app_id=A&buildnumber=B[&timeincache=T][&isCachedRequest=true]
///        body "data=" and the fields scrambled in the alphabet the app's key shuffles -> 200 {"status":
///        "ok"}; 404 for an app it does not know, 400 for a body that does not decode
///   POST /stats    form body app_id, devkey, uid, time_in_app, statType, launch_counter, platform -> 200
///   GET  /install_data/v3/id{A}?devkey=K&device_id=U    the install's conversion data: what a test set
///        (setConversionData()), else {"install_status": "organic", "iscache": false} the first time a device
///        asks and "iscache": true after; 404 unknown app, 403 another key
///   POST /validate-ios-receipt?app_id=A&wayfinder_id=U&dev_key=K&sandbox=true|false
///        {"receipt-data": Base64 of the receipt} -> {"status": 0, "environment": "Sandbox" or "Production",
///        "receipt": the receipt}; {"status": 21002} when the data is no Base64 JSON object; 403 another key
///
/// A back-end adds the routes once (serve()); the service lives as long as they do. Thread-safe: the routes
/// run on the server's threads while a test reads what arrived.
class AttributionService {
public:
    using Route = std::function<BackendReply(const ServerRequest& request)>;
    using RouteAdder = std::function<void(std::string_view method, std::string_view pattern, Route route)>;

    /// Makes the service of `backend` and adds its routes through `addRoute`.
    static void serve(const Backend& backend, const RouteAdder& addRoute);
    /// The service of `backend` (null before serve()).
    static std::shared_ptr<AttributionService> of(const Backend& backend);

    /// `scrambled` decoded in the alphabet of `devKey`, or nullopt when it is no text of that alphabet.
    static std::optional<std::string> unscramble(std::string_view scrambled, std::string_view devKey);
    /// The "key=value," fields of a request body's text; a piece without "=" belongs to the value before.
    static std::vector<std::pair<std::string, std::string>> fields(std::string_view text);

    /// Lets the service take requests of the app `appId` scrambled with `devKey`.
    void addApp(const std::string& appId, const std::string& devKey);
    /// Answers every device with `data` (a JSON object) from now on; null goes back to the default answer.
    void setConversionData(const platform::foundation::Value& data);

    /// What arrived so far, oldest first.
    std::vector<AttributionRequest> requests() const;
    std::vector<ServerRequest::Pairs> statistics() const;
    std::vector<ReceiptValidation> validations() const;

    AttributionService();

private:
    BackendReply event(const ServerRequest& request);
    BackendReply statistic(const ServerRequest& request);
    BackendReply conversionData(const ServerRequest& request);
    BackendReply validateReceipt(const ServerRequest& request);

    mutable std::mutex m_mutex;
    std::map<std::string, std::string, std::less<>> m_apps;
    platform::foundation::Value m_conversionData;
    std::set<std::string, std::less<>> m_devicesAnswered;
    std::vector<AttributionRequest> m_requests;
    std::vector<ServerRequest::Pairs> m_statistics;
    std::vector<ReceiptValidation> m_validations;
};

}
