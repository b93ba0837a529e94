#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace attribution {

/// The tracker's helpers: JSON clean-up and text, URL query parsing, digests, Base64, the store receipt and
/// the platform's name.
class WayfinderUtils {
public:
    /// Removes, in place, every null element of the arrays inside `dictionary`, at any depth (a dictionary
    /// holds no nulls: storing one removes its key).
    static void recursivelyRemoveNulls(const platform::foundation::DictionaryRef& dictionary);
    /// Removes, in place, every null element of `array`, then cleans its array and dictionary elements.
    static void recursivelyRemoveNullsFromArray(const platform::foundation::ArrayRef& array);

    /// `value` as compact JSON, logged as "JSON OUTPUT: <text>" in debug mode; nullopt, logged as
    /// "JSON error: ...", when it is no dictionary.
    static std::optional<std::string> getJsonStringFromDictionary(const platform::foundation::Value& value);

    /// The query parameters of `url`: each "&"-separated part split at "=", the first piece (unescaped) the
    /// key, the second (unescaped) the value; a part without a value is left out and a later key replaces
    /// an earlier one. "path" and "scheme" are added when the URL has them.
    static platform::foundation::DictionaryRef URLQueryParameters(std::string_view url);

    /// The SHA-1 and MD5 digests of the UTF-8 bytes of `text`, as lower-case hexadecimal.
    static std::string sha1(std::string_view text);
    static std::string md5(std::string_view text);
    /// `data` in standard Base64 with "=" padding and no line breaks.
    static std::string base64forData(std::string_view data);

    /// The app's store receipt: {"data": {"receipt-data": the receipt file's bytes in Base64}} when the
    /// bundle holds one, else {"status": "-1"}.
    static platform::foundation::DictionaryRef getStoreReceipt();

    /// The app's platform as the service knows it: "iOS_Native", since no game engine's app controller
    /// runs the app.
    static std::string develomentPlatformName();
};

}
