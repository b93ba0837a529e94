#pragma once

#include "platform/foundation/Value.h"

#include <string>
#include <string_view>

namespace conversion {

/// Percent-escapes `text` as UTF-8, leaving only letters, digits and "-._~" as they are: besides what a URL
/// may never hold, "!*'();:@&=+$,/?%#[]" are escaped.
std::string act_percentEscape(std::string_view text);

/// A string's escaped form; "" for anything else or when escaping gives nothing.
std::string ACTEscapedOrEmptyString(const platform::foundation::Value& object);

/// The parameters as "key=element" pieces joined by `separator`: keys in the device locale's
/// case-insensitive order, an array giving one piece per element in order, a string element escaped, a
/// number (or Boolean, "1"/"0") written as its decimal text, any other element skipped; keys escaped.
std::string act_queryParametersJoinedByString(
    const platform::foundation::DictionaryRef& parameters, std::string_view separator);

/// A copy of `parameters` with every key prefixed "data.".
platform::foundation::DictionaryRef act_formattedSmartPixelDataDictionary(
    const platform::foundation::DictionaryRef& parameters);

/// The current time (the main queue's clock) in seconds since 1970, as a real number.
platform::foundation::Value act_secondsSince1970();

/// The click referrer an opening URL carries: its first query piece "referrer=<value>", the value
/// percent-decoded, read as "key=value" pairs joined by "&" (a later key replaces an earlier one, pieces
/// not of that form skipped). Null when there is no such piece or the referrer is empty.
platform::foundation::DictionaryRef act_clickURLReferrerComponents(std::string_view url);

}
