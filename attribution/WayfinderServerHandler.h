#pragma once

#include "attribution/WayfinderRequestCacheData.h"

#include "platform/foundation/Error.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace attribution {

/// Sends the tracker's requests to the attribution service.
class WayfinderServerHandler {
public:
    using ValidationCompletion = std::function<void(
        const std::optional<platform::foundation::Error>& error, const std::string& response)>;

    /// The body of an event request: "data=" and `postData`.
    static std::string getDataString(const std::string& postData);

    /// POSTs `request` (to its URL, with "&isCachedRequest=true" when `fromCache`). A transport failure keeps
    /// a live request in the retry cache, and moves a cache replay on to the next request (dropping this one
    /// when another version made it). Any answer, whatever its status, counts as delivered: a cached request
    /// leaves the cache and the replay goes on, a live one starts a replay of the cache; then `onSuccess`
    /// runs. `logId`, when not 0, names the diagnostic log's entry to update. Completions run on the URL
    /// session's threads.
    static void sendRequestEventToServer(const std::shared_ptr<WayfinderRequestCacheData>& request,
        bool fromCache, bool isDebug, std::int32_t logId, std::function<void()> onSuccess);

    /// POSTs the receipt validation `parameters` (a receipt dictionary with "wayfinderId", "appDevKey",
    /// "appId", "sandbox" and "url") as JSON to their "url"; `completion` gets the transport error, if any,
    /// and the answer's body, on the URL session's thread.
    static void sendPOSTRequest(
        const platform::foundation::DictionaryRef& parameters, ValidationCompletion completion);
};

}
