#include "platform/store/EntityDescription.h"

#include <stdexcept>

namespace platform::store {

using foundation::Value;

std::optional<Value> AttributeDescription::accepted(const Value& value) const
{
    if (value.isNull())
        return value;
    switch (type) {
    case AttributeType::String:
        if (value.type() == Value::Type::String)
            return value;
        break;
    case AttributeType::Boolean:
        if (auto flag = value.boolean())
            return Value(*flag);
        if (auto number = value.integer())
            return Value(*number != 0);
        break;
    case AttributeType::Date:
        if (value.type() == Value::Type::Date)
            return value;
        break;
    case AttributeType::Blob:
        if (value.type() == Value::Type::Bytes)
            return value;
        break;
    case AttributeType::Integer:
        if (value.type() == Value::Type::Integer)
            return value;
        if (auto flag = value.boolean())
            return Value(*flag ? 1 : 0);
        break;
    }
    return std::nullopt;
}

EntityDescription::EntityDescription(std::string name, std::vector<AttributeDescription> attributes)
    : m_name(std::move(name))
    , m_attributes(std::move(attributes))
{
    if (m_name.empty())
        throw std::invalid_argument("An entity needs a name");
    for (std::size_t index = 0; index < m_attributes.size(); ++index) {
        const std::string& attribute = m_attributes[index].name;
        if (attribute.empty() || attribute == kIdentifierColumn)
            throw std::invalid_argument("Entity " + m_name + " has an attribute without a usable name");
        if (indexOf(attribute) != index)
            throw std::invalid_argument("Entity " + m_name + " names the attribute " + attribute + " twice");
    }
}

std::optional<std::size_t> EntityDescription::indexOf(std::string_view name) const
{
    for (std::size_t index = 0; index < m_attributes.size(); ++index) {
        if (m_attributes[index].name == name)
            return index;
    }
    return std::nullopt;
}

}
