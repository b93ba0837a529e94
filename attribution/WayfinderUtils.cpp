#include "attribution/WayfinderUtils.h"

#include "attribution/WayfinderTracker.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "platform/http/Url.h"

#include <openssl/evp.h>
#include <openssl/sha.h>

#include <cstdio>

namespace attribution {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

std::string hex(const unsigned char* bytes, std::size_t length)
{
    std::string text;
    char pair[3];
    for (std::size_t i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

// `text` with its "%XX" escapes replaced by their bytes; text with a malformed escape stays as it is.
std::string unescaped(std::string_view text)
{
    return platform::http::percentDecode(text).value_or(std::string(text));
}

}

void WayfinderUtils::recursivelyRemoveNulls(const DictionaryRef& dictionary)
{
    if (!dictionary)
        return;
    for (const auto& [key, value] : dictionary->entries()) {
        if (auto array = value.array())
            recursivelyRemoveNullsFromArray(array);
    }
    for (const auto& [key, value] : dictionary->entries()) {
        if (auto inner = value.dictionary())
            recursivelyRemoveNulls(inner);
    }
}

void WayfinderUtils::recursivelyRemoveNullsFromArray(const ArrayRef& array)
{
    if (!array)
        return;
    for (std::size_t i = array->size(); i > 0; --i) {
        if (array->at(i - 1).isNull())
            array->removeAt(i - 1);
    }
    for (const auto& value : *array) {
        if (auto inner = value.array())
            recursivelyRemoveNullsFromArray(inner);
        else if (auto dictionary = value.dictionary())
            recursivelyRemoveNulls(dictionary);
    }
}

std::optional<std::string> WayfinderUtils::getJsonStringFromDictionary(const Value& value)
{
    platform::foundation::Log log;
    if (!value.dictionary()) {
        log.write("JSON error: the object is no dictionary");
        return std::nullopt;
    }
    auto text = platform::foundation::toJson(value);
    if (WayfinderTracker::sharedTracker().isDebug())
        log.write("JSON OUTPUT: " + text);
    return text;
}

DictionaryRef WayfinderUtils::URLQueryParameters(std::string_view url)
{
    auto parameters = Dictionary::make();
    std::string_view rest = url.substr(0, url.find('#'));
    std::optional<std::string> scheme;
    if (auto colon = rest.find(':'); colon != std::string_view::npos && colon > 0
        && rest.substr(0, colon).find_first_of("/?") == std::string_view::npos) {
        scheme = std::string(rest.substr(0, colon));
        rest.remove_prefix(colon + 1);
    }
    std::string_view query;
    if (auto mark = rest.find('?'); mark != std::string_view::npos) {
        query = rest.substr(mark + 1);
        rest = rest.substr(0, mark);
    }
    if (rest.starts_with("//")) {
        auto slash = rest.find('/', 2);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    }
    while (!query.empty()) {
        auto end = query.find('&');
        auto part = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        auto equals = part.find('=');
        if (equals == std::string_view::npos)
            continue;
        auto value = part.substr(equals + 1);
        value = value.substr(0, value.find('='));
        parameters->set(unescaped(part.substr(0, equals)), unescaped(value));
    }
    if (!rest.empty())
        parameters->set("path", unescaped(rest));
    if (scheme)
        parameters->set("scheme", *scheme);
    return parameters;
}

std::string WayfinderUtils::sha1(std::string_view text)
{
    unsigned char digest[SHA_DIGEST_LENGTH];
    SHA1(reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest);
    return hex(digest, sizeof digest);
}

std::string WayfinderUtils::md5(std::string_view text)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr);
    return hex(digest, length);
}

std::string WayfinderUtils::base64forData(std::string_view data)
{
    return platform::foundation::Base64::encode(data);
}

DictionaryRef WayfinderUtils::getStoreReceipt()
{
    auto path = platform::foundation::Bundle::main()->appStoreReceiptPath();
    auto bytes = platform::foundation::Files::readBytes(path);
    if (!bytes)
        return Dictionary::make({ { "status", "-1" } });
    std::string data(bytes->begin(), bytes->end());
    return Dictionary::make({ { "data", Dictionary::make({ { "receipt-data", base64forData(data) } }) } });
}

std::string WayfinderUtils::develomentPlatformName()
{
    return "iOS_Native";
}

}
