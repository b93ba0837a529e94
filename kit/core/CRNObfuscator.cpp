#include "kit/core/CRNObfuscator.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/PropertyList.h"

#include <openssl/evp.h>

#include <algorithm>

namespace kit {

using platform::foundation::Bytes;
using platform::foundation::NamedException;
using platform::foundation::PropertyList;

namespace {

constexpr const char* kExceptionName = "InvalidObfuscatedData";

bool isBase64Digit(char character)
{
    return (character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z')
        || (character >= '0' && character <= '9') || character == '+' || character == '/';
}

// Strict Base64: whole groups of four, padding only at the very end.
std::optional<Bytes> decodeBase64(std::string_view text)
{
    if (text.empty() || text.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = text.ends_with("==") ? 2 : text.ends_with("=") ? 1 : 0;
    if (!std::all_of(text.begin(), text.end() - static_cast<std::ptrdiff_t>(padding), isBase64Digit))
        return std::nullopt;
    Bytes bytes(text.size() / 4 * 3);
    int length = ::EVP_DecodeBlock(
        bytes.data(), reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (length < 0)
        return std::nullopt;
    bytes.resize(static_cast<std::size_t>(length) - padding);
    return bytes;
}

}

std::string CRNObfuscator::obfuscatedDataFromDictionary(const platform::foundation::DictionaryRef& dictionary)
{
    auto archived = PropertyList::binary(platform::foundation::Value(dictionary));
    if (!archived)
        return {};
    std::string text(4 * ((archived->size() + 2) / 3) + 1, '\0');
    int length = ::EVP_EncodeBlock(
        reinterpret_cast<unsigned char*>(text.data()), archived->data(), static_cast<int>(archived->size()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

platform::foundation::DictionaryRef CRNObfuscator::dictionaryWithObfuscatedData(std::string_view data)
{
    if (data.empty())
        throw NamedException(kExceptionName, "Attempting to deobfuscate nil or empty data.");
    auto archived = decodeBase64(data);
    auto value = archived ? PropertyList::read(*archived) : std::nullopt;
    if (!value || !value->dictionary())
        throw NamedException(kExceptionName, "Improperly obfuscated data.");
    return value->dictionary();
}

}
