#include "platform/foundation/Array.h"

#include "platform/foundation/Dictionary.h"

#include <stdexcept>

namespace platform::foundation {

ArrayRef Array::make()
{
    return std::make_shared<Array>();
}

ArrayRef Array::make(std::initializer_list<Value> values)
{
    return make(std::vector<Value>(values));
}

ArrayRef Array::make(std::vector<Value> values)
{
    auto array = std::make_shared<Array>();
    array->m_values = std::move(values);
    return array;
}

Value Array::at(std::size_t index) const
{
    return index < m_values.size() ? m_values[index] : Value();
}

Value Array::first() const
{
    return m_values.empty() ? Value() : m_values.front();
}

Value Array::last() const
{
    return m_values.empty() ? Value() : m_values.back();
}

void Array::append(Value value)
{
    m_values.push_back(std::move(value));
}

void Array::insert(std::size_t index, Value value)
{
    if (index > m_values.size())
        throw std::out_of_range("Array::insert: index " + std::to_string(index) + " beyond size "
            + std::to_string(m_values.size()));
    m_values.insert(m_values.begin() + static_cast<std::ptrdiff_t>(index), std::move(value));
}

void Array::replace(std::size_t index, Value value)
{
    if (index >= m_values.size())
        throw std::out_of_range("Array::replace: index " + std::to_string(index) + " beyond size "
            + std::to_string(m_values.size()));
    m_values[index] = std::move(value);
}

void Array::removeAt(std::size_t index)
{
    if (index >= m_values.size())
        throw std::out_of_range("Array::removeAt: index " + std::to_string(index) + " beyond size "
            + std::to_string(m_values.size()));
    m_values.erase(m_values.begin() + static_cast<std::ptrdiff_t>(index));
}

void Array::removeAll()
{
    m_values.clear();
}

std::optional<std::size_t> Array::indexOf(const Value& value) const
{
    for (std::size_t index = 0; index < m_values.size(); ++index) {
        if (m_values[index] == value)
            return index;
    }
    return std::nullopt;
}

std::optional<std::size_t> Array::indexOfIdentical(const Value& value) const
{
    auto array = value.array();
    auto dictionary = value.dictionary();
    if (!array && !dictionary)
        return indexOf(value);
    for (std::size_t index = 0; index < m_values.size(); ++index) {
        if ((array && m_values[index].array() == array)
            || (dictionary && m_values[index].dictionary() == dictionary))
            return index;
    }
    return std::nullopt;
}

ArrayRef Array::shallowCopy() const
{
    return make(m_values);
}

ArrayRef Array::deepCopy() const
{
    std::vector<Value> values;
    values.reserve(m_values.size());
    for (auto& value : m_values)
        values.push_back(value.deepCopy());
    return make(std::move(values));
}

bool Array::equals(const Array& other) const
{
    return m_values == other.m_values;
}

}
