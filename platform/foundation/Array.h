#pragma once

#include "platform/foundation/Value.h"

#include <initializer_list>
#include <vector>

namespace platform::foundation {

/// A shared, mutable, ordered list of values. Always held by ArrayRef.
class Array {
public:
    /// A new empty array, or one holding `values`.
    static ArrayRef make();
    static ArrayRef make(std::initializer_list<Value> values);
    static ArrayRef make(std::vector<Value> values);

    /// The number of elements.
    std::size_t size() const { return m_values.size(); }
    /// Whether there are no elements.
    bool empty() const { return m_values.empty(); }

    /// The value at `index`, or null when out of range.
    Value at(std::size_t index) const;
    /// The first and last values, or null when empty.
    Value first() const;
    Value last() const;

    /// Adds `value` (null included) at the end.
    void append(Value value);
    /// Inserts before `index` (index == size() appends). An index beyond the
    /// end is a programming error: std::out_of_range.
    void insert(std::size_t index, Value value);
    /// Replaces / removes the element at `index`; std::out_of_range when
    /// there is none.
    void replace(std::size_t index, Value value);
    void removeAt(std::size_t index);
    /// Removes every element.
    void removeAll();

    /// Index of the first element equal to `value` (deep equality), or nullopt.
    std::optional<std::size_t> indexOf(const Value& value) const;
    /// Index of the element that is this very container (identity), or
    /// nullopt. Values that are not containers are found by equality.
    std::optional<std::size_t> indexOfIdentical(const Value& value) const;

    /// The elements, for range-for and algorithms.
    const std::vector<Value>& values() const { return m_values; }
    std::vector<Value>::const_iterator begin() const { return m_values.begin(); }
    std::vector<Value>::const_iterator end() const { return m_values.end(); }

    /// A new array sharing the same elements / holding deep copies of them.
    ArrayRef shallowCopy() const;
    ArrayRef deepCopy() const;
    /// Deep equality, element by element.
    bool equals(const Array& other) const;

private:
    std::vector<Value> m_values;
};

}
