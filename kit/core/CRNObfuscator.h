#pragma once

#include "platform/foundation/Value.h"

#include <string>
#include <string_view>

namespace kit {

/// Packs a dictionary into text for the information property list's "ObfuscatedKitInfo" entries, and back:
/// the dictionary as a binary property list, in Base64 without line breaks.
class CRNObfuscator {
public:
    /// The packed text of `dictionary`; empty when it holds a null, which a property list cannot.
    static std::string obfuscatedDataFromDictionary(const platform::foundation::DictionaryRef& dictionary);

    /// The dictionary packed in `data`. Raises a NamedException "InvalidObfuscatedData": with the reason
    /// "Attempting to deobfuscate nil or empty data." for empty data, "Improperly obfuscated data." for data
    /// that is not Base64 or does not hold a dictionary.
    static platform::foundation::DictionaryRef dictionaryWithObfuscatedData(std::string_view data);
};

}
