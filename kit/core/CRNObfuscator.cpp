#include "kit/core/CRNObfuscator.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/PropertyList.h"

namespace kit {

using platform::foundation::Base64;
using platform::foundation::NamedException;
using platform::foundation::PropertyList;

namespace {

constexpr const char* kExceptionName = "InvalidObfuscatedData";

}

std::string CRNObfuscator::obfuscatedDataFromDictionary(const platform::foundation::DictionaryRef& dictionary)
{
    auto archived = PropertyList::binary(platform::foundation::Value(dictionary));
    return archived ? Base64::encode(*archived) : std::string();
}

platform::foundation::DictionaryRef CRNObfuscator::dictionaryWithObfuscatedData(std::string_view data)
{
    if (data.empty())
        throw NamedException(kExceptionName, "Attempting to deobfuscate nil or empty data.");
    auto archived = Base64::decode(data);
    auto value = archived ? PropertyList::read(*archived) : std::nullopt;
    if (!value || !value->dictionary())
        throw NamedException(kExceptionName, "Improperly obfuscated data.");
    return value->dictionary();
}

}
