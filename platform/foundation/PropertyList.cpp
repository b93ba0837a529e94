#include "platform/foundation/PropertyList.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

namespace platform::foundation {

namespace {

// Property-list dates count from 2001-01-01 00:00:00 UTC.
constexpr double kReferenceDate = 978307200;

struct NodeFree {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Node = std::unique_ptr<void, NodeFree>;

std::optional<Value> valueOf(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return Value(flag != 0);
    }
    case PLIST_UINT: {
        std::uint64_t number = 0;
        plist_get_uint_val(node, &number);
        // The library keeps negative integers as their two's complement.
        return Value(static_cast<std::int64_t>(number));
    }
    case PLIST_REAL: {
        double number = 0;
        plist_get_real_val(node, &number);
        return Value(number);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return Value(std::string(text ? text : "", text ? length : 0));
    }
    case PLIST_DATE: {
        std::int32_t seconds = 0;
        std::int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return Value(Date { kReferenceDate + seconds + microseconds / 1e6 });
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
        return Value(bytes ? Bytes(bytes, bytes + length) : Bytes {});
    }
    case PLIST_UID: {
        std::uint64_t number = 0;
        plist_get_uid_val(node, &number);
        return Value(static_cast<std::int64_t>(number));
    }
    case PLIST_ARRAY: {
        auto array = Array::make();
        for (std::uint32_t index = 0; index < plist_array_get_size(node); ++index) {
            auto element = valueOf(plist_array_get_item(node, index));
            if (!element)
                return std::nullopt;
            array->append(std::move(*element));
        }
        return Value(array);
    }
    case PLIST_DICT: {
        auto dictionary = Dictionary::make();
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(node, &iterator);
        for (;;) {
            char* key = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, iterator, &key, &item);
            if (!key || !item) {
                std::free(key);
                break;
            }
            auto element = valueOf(item);
            if (!element) {
                std::free(key);
                std::free(iterator);
                return std::nullopt;
            }
            dictionary->set(key, std::move(*element));
            std::free(key);
        }
        std::free(iterator);
        return Value(dictionary);
    }
    case PLIST_NONE:
        break;
    }
    return std::nullopt;
}

Node nodeOf(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Null:
        return nullptr;
    case Value::Type::Bool:
        return Node(plist_new_bool(*value.boolean() ? 1 : 0));
    case Value::Type::Integer:
        return Node(plist_new_uint(static_cast<std::uint64_t>(*value.integer())));
    case Value::Type::Real:
        return Node(plist_new_real(*value.number()));
    case Value::Type::String:
        return Node(plist_new_string(value.string()->c_str()));
    case Value::Type::Date: {
        double sinceReference = value.date()->secondsSince1970 - kReferenceDate;
        double seconds = std::floor(sinceReference);
        if (seconds < std::numeric_limits<std::int32_t>::min()
            || seconds > std::numeric_limits<std::int32_t>::max())
            return nullptr;
        auto microseconds = static_cast<std::int32_t>(std::lround((sinceReference - seconds) * 1e6));
        return Node(plist_new_date(static_cast<std::int32_t>(seconds), microseconds));
    }
    case Value::Type::Bytes: {
        const Bytes& bytes = *value.bytes();
        return Node(plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    case Value::Type::Array: {
        Node array(plist_new_array());
        for (const auto& element : *value.array()) {
            Node item = nodeOf(element);
            if (!item)
                return nullptr;
            plist_array_append_item(array.get(), item.release());
        }
        return array;
    }
    case Value::Type::Dictionary: {
        Node dictionary(plist_new_dict());
        for (const auto& [key, element] : value.dictionary()->entries()) {
            Node item = nodeOf(element);
            if (!item)
                return nullptr;
            plist_dict_set_item(dictionary.get(), key.c_str(), item.release());
        }
        return dictionary;
    }
    }
    return nullptr;
}

}

std::optional<Value> PropertyList::read(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    if (!root)
        return std::nullopt;
    Node owner(root);
    return valueOf(root);
}

std::optional<Value> PropertyList::read(const Bytes& bytes)
{
    return read(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::optional<std::string> PropertyList::xml(const Value& value)
{
    Node root = nodeOf(value);
    if (!root)
        return std::nullopt;
    char* text = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &text, &length);
    if (!text)
        return std::nullopt;
    std::string result(text, length);
    plist_to_xml_free(text);
    return result;
}

std::optional<Bytes> PropertyList::binary(const Value& value)
{
    Node root = nodeOf(value);
    if (!root)
        return std::nullopt;
    char* data = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root.get(), &data, &length);
    if (!data)
        return std::nullopt;
    Bytes result(
        reinterpret_cast<const std::uint8_t*>(data), reinterpret_cast<const std::uint8_t*>(data) + length);
    plist_to_bin_free(data);
    return result;
}

}
