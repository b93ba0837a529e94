// In-app purchases: the store receipt checked by the service, and the purchase event.
#include "attribution/WayfinderTracker.h"

#include "attribution/WayfinderServerHandler.h"
#include "attribution/WayfinderUtils.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"

namespace attribution {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Error;
using platform::foundation::Value;

namespace {

// Whether the answer's receipt lists the transaction among its in-app purchases.
bool listsTransaction(const DictionaryRef& answer, const std::string& transactionId)
{
    auto receipt = answer->get("receipt").dictionary();
    auto purchases = receipt ? receipt->get("in_app").array() : nullptr;
    if (!purchases)
        return false;
    for (const auto& purchase : *purchases) {
        auto record = purchase.dictionary();
        if (record && record->get("transaction_id").stringValue() == transactionId)
            return true;
    }
    return false;
}

}

void WayfinderTracker::validateAndTrackInAppPurchase(const std::string& productIdentifier,
    const std::string& price, const std::string& currency, const std::string& transactionId,
    const Value& additionalParameters, std::function<void(const DictionaryRef& response)> success,
    std::function<void(const std::optional<Error>& error, const Value& response)> failure)
{
    if (productIdentifier.empty() || transactionId.empty()) {
        platform::foundation::Log().write("Wayfinder Error: validateInAppPurchase Parameters cannot be nil");
        return;
    }
    auto settings = configuration();
    auto parameters = WayfinderUtils::getStoreReceipt();
    parameters->set("wayfinderId", getWayfinderUID());
    parameters->set("appDevKey", settings.devKey);
    parameters->set("appId", settings.appleAppID);
    parameters->set("sandbox", settings.useReceiptValidationSandbox ? "true" : "false");
    parameters->set("url", serviceURL() + "/validate-ios-receipt");
    debugLog(__func__, "parameters = " + platform::foundation::toJson(Value(parameters)));

    auto purchaseEvent = [this, productIdentifier, price, currency, additionalParameters](bool validated) {
        auto values
            = Dictionary::make({ { "wf_revenue", price }, { "wf_validated", validated ? "true" : "false" },
                { "wf_content_id", productIdentifier }, { "wf_currency", currency }, { "wf_quantity", 1 } });
        if (!additionalParameters.isNull())
            values->set("wf_param_1", additionalParameters.deepCopy());
        trackEvent("wf_purchase", values);
    };
    if (!parameters->contains("data")) {
        if (failure)
            failure(Error::withDescription(kErrorDomain, 0, "The app holds no store receipt."), Value());
        purchaseEvent(false);
        return;
    }
    WayfinderServerHandler::sendPOSTRequest(parameters,
        [this, transactionId, success, failure, purchaseEvent](
            const std::optional<Error>& error, const std::string& body) {
            if (error) {
                debugLog("validateAndTrackInAppPurchase",
                    "Failed validating receipt = " + error->localizedDescription());
                if (failure)
                    failure(error, Value(body));
                purchaseEvent(false);
                return;
            }
            auto parsed = platform::foundation::parseJson(body);
            auto answer = parsed.ok() ? parsed.value.dictionary() : nullptr;
            if (!answer) {
                if (failure)
                    failure(Error::withDescription(kErrorDomain, 0,
                                parsed.ok() ? "The answer is no JSON object." : parsed.error),
                        parsed.value);
                purchaseEvent(false);
                return;
            }
            if (answer->get("status").integer() != 0) {
                debugLog("validateAndTrackInAppPurchase",
                    "Failed validating receipt = " + platform::foundation::toJson(Value(answer)));
                if (failure)
                    failure(std::nullopt, Value(answer));
                purchaseEvent(false);
                return;
            }
            if (listsTransaction(answer, transactionId)) {
                debugLog("validateAndTrackInAppPurchase", "Succeeded validating receipt");
                if (success)
                    success(answer);
            }
            purchaseEvent(true);
        });
}

}
