#pragma once

#include "platform/foundation/Value.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::store {

/// The kinds of value an attribute holds. Any attribute may also be empty (null).
enum class AttributeType { String, Boolean, Date, Blob, Integer };

/// One named, typed attribute of an entity.
struct AttributeDescription {
    std::string name;
    AttributeType type { AttributeType::String };

    /// `value` as this attribute stores it, or nullopt when it is of another kind. Null is accepted by
    /// every attribute; a Boolean attribute also takes an integer (non-zero is true) and an Integer
    /// attribute a bool (1 or 0), so that "isActiveUser = 1" reads as it does on the phone.
    std::optional<foundation::Value> accepted(const foundation::Value& value) const;
};

/// A kind of record: its name and its attributes. Records of one entity live in one table of a store.
class EntityDescription {
public:
    /// The name of the column that holds each record's identifier; no attribute may take it.
    static constexpr std::string_view kIdentifierColumn { "_pk" };

    /// An entity named `name` with `attributes`. Throws std::invalid_argument for an empty name, an
    /// empty or repeated attribute name, or an attribute named kIdentifierColumn.
    EntityDescription(std::string name, std::vector<AttributeDescription> attributes);

    /// The entity's name, such as "DeviceUser".
    const std::string& name() const { return m_name; }
    /// The attributes in the order given.
    const std::vector<AttributeDescription>& attributes() const { return m_attributes; }
    /// The position of the attribute `name` in attributes(), or nullopt when there is none.
    std::optional<std::size_t> indexOf(std::string_view name) const;

private:
    std::string m_name;
    std::vector<AttributeDescription> m_attributes;
};

}
