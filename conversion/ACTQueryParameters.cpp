#include "conversion/ACTQueryParameters.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/StringComparison.h"
#include "platform/http/Url.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace conversion {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        auto end = text.find(separator, start);
        pieces.push_back(
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return pieces;
        start = end + 1;
    }
}

// An element's text in the URL, or nullopt for an element of a kind that is not sent.
std::optional<std::string> elementText(const Value& element)
{
    switch (element.type()) {
    case Value::Type::String:
        return act_percentEscape(*element.string());
    case Value::Type::Bool:
        return std::string(*element.boolean() ? "1" : "0");
    case Value::Type::Integer:
        return std::to_string(*element.integer());
    case Value::Type::Real: {
        char buffer[32];
        auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *element.number());
        return error == std::errc() ? std::optional<std::string>(std::string(buffer, end)) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

}

std::string act_percentEscape(std::string_view text)
{
    return platform::http::percentEncode(text);
}

std::string ACTEscapedOrEmptyString(const Value& object)
{
    return object.string() ? act_percentEscape(*object.string()) : std::string();
}

std::string act_queryParametersJoinedByString(const DictionaryRef& parameters, std::string_view separator)
{
    if (!parameters)
        return {};
    std::vector<const Dictionary::Entry*> entries;
    for (const auto& entry : parameters->entries())
        entries.push_back(&entry);
    std::stable_sort(entries.begin(), entries.end(), [](const auto* left, const auto* right) {
        return platform::foundation::localizedCaseInsensitiveCompare(left->first, right->first) < 0;
    });
    std::string joined;
    auto append = [&](const std::string& key, const Value& element) {
        auto text = elementText(element);
        if (!text)
            return;
        if (!joined.empty())
            joined += separator;
        joined += act_percentEscape(key) + "=" + *text;
    };
    for (const auto* entry : entries) {
        if (auto array = entry->second.array()) {
            for (const auto& element : *array)
                append(entry->first, element);
        } else {
            append(entry->first, entry->second);
        }
    }
    return joined;
}

DictionaryRef act_formattedSmartPixelDataDictionary(const DictionaryRef& parameters)
{
    auto formatted = Dictionary::make();
    if (parameters) {
        for (const auto& [key, value] : parameters->entries())
            formatted->set("data." + key, value);
    }
    return formatted;
}

Value act_secondsSince1970()
{
    return Value(platform::foundation::now().secondsSince1970);
}

DictionaryRef act_clickURLReferrerComponents(std::string_view url)
{
    auto question = url.find('?');
    if (question == std::string_view::npos)
        return nullptr;
    auto query = url.substr(question + 1);
    query = query.substr(0, query.find('#'));
    std::optional<std::string> referrer;
    for (auto piece : split(query, '&')) {
        auto parts = split(piece, '=');
        if (parts.size() == 2 && parts[0] == "referrer") {
            referrer = platform::http::percentDecode(parts[1]);
            break;
        }
    }
    if (!referrer || referrer->empty())
        return nullptr;
    auto components = Dictionary::make();
    for (auto piece : split(*referrer, '&')) {
        auto parts = split(piece, '=');
        if (parts.size() == 2)
            components->set(parts[0], std::string(parts[1]));
    }
    return components;
}

}
