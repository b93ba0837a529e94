#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace conversion {

/// The tracker's entry points for the common cases: each call reports one event through the matching
/// public reporter. Use on the main thread.
class MarqueeConversionPing {
public:
    /// A conversion of `conversionID` with an optional label and value (an amount as text).
    static void pingWithConversionId(const std::string& conversionID, std::optional<std::string> label,
        std::optional<std::string> value, bool isRepeatable);
    /// The same; `idfaOnly` is not used.
    static void pingWithConversionId(const std::string& conversionID, std::optional<std::string> label,
        std::optional<std::string> value, bool isRepeatable, bool idfaOnly);
    /// Type 0: a conversion (as above); type 1: a conversion counted by the activity service (the label is
    /// not used); any other type: nothing.
    static void pingWithConversionIdType(const std::string& conversionID, std::int64_t type,
        std::optional<std::string> label, std::optional<std::string> value, bool isRepeatable);
    /// A remarketing visit: the custom parameters with "screen_name" set to `screenName` when it is not
    /// empty (replacing a caller's key of that name). `label` is not used.
    static void pingRemarketingWithConversionId(const std::string& conversionID,
        std::optional<std::string> label, const std::string& screenName,
        const platform::foundation::DictionaryRef& customParameters);
    /// Stores the click referrer the opening URL carries; true when one was stored.
    static bool registerReferrer(std::string_view url);
    /// "ct-sdk-i-v3.2.0".
    static std::string sdkVersion();
};

}
