#pragma once

#include "platform/foundation/Date.h"

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform::foundation {

class Array;
class Dictionary;
using ArrayRef = std::shared_ptr<Array>;
using DictionaryRef = std::shared_ptr<Dictionary>;
using Bytes = std::vector<std::uint8_t>;

/// One JSON-like value: null, bool, integer, real, string, date, bytes, or a
/// shared Array / Dictionary. Containers are held by reference: copying a
/// Value that holds a Dictionary shares the one Dictionary.
class Value {
public:
    enum class Type { Null, Bool, Integer, Real, String, Date, Bytes, Array, Dictionary };

    /// Null.
    Value() = default;
    Value(std::nullptr_t) { }
    /// A boolean, an integer (any integral type but bool, stored as int64), a
    /// real, a string, a date or bytes.
    Value(bool value)
        : m_storage(value)
    {
    }
    template<std::integral T>
    requires(!std::same_as<T, bool>) Value(T value)
        : m_storage(static_cast<std::int64_t>(value))
    {
    }
    Value(double value)
        : m_storage(value)
    {
    }
    Value(const char* value)
        : m_storage(std::string(value))
    {
    }
    Value(std::string_view value)
        : m_storage(std::string(value))
    {
    }
    Value(std::string value)
        : m_storage(std::move(value))
    {
    }
    Value(Date value)
        : m_storage(value)
    {
    }
    Value(Bytes value)
        : m_storage(std::move(value))
    {
    }
    /// A shared container; a null pointer gives a null value.
    Value(ArrayRef value);
    Value(DictionaryRef value);

    /// The kind of value held.
    Type type() const { return static_cast<Type>(m_storage.index()); }
    /// Whether the value is null (an absent key reads as null).
    bool isNull() const { return type() == Type::Null; }

    /// Strict readers: the value when it is of that kind, else nullopt / null.
    std::optional<bool> boolean() const;
    /// An integer (never a real or a bool).
    std::optional<std::int64_t> integer() const;
    /// A real, or an integer widened to a real.
    std::optional<double> number() const;
    /// The string, date, bytes or container held, else null / nullopt.
    const std::string* string() const;
    std::optional<Date> date() const;
    const Bytes* bytes() const;
    ArrayRef array() const;
    DictionaryRef dictionary() const;
    /// The container held, or null, without taking a share of it: for reads
    /// over many records, valid for as long as this value holds it.
    const Array* arrayPointer() const;
    const Dictionary* dictionaryPointer() const;

    /// Lenient readers in the manner of the platform's number and string
    /// objects: a bool, integer, real or numeric string converts; anything
    /// else gives 0 / false / "". A string is read from its start, after
    /// leading whitespace, for as long as it reads as a number: "007" is 7,
    /// " -3" is -3, "12abc" is 12, "abc" is 0. Reals truncate towards zero in
    /// integerValue, and values beyond int64 clamp to its limits.
    std::int64_t integerValue() const;
    /// As integerValue, keeping fractions and exponents ("1.5e3" is 1500).
    double doubleValue() const;
    /// Non-zero numbers are true; a string is true when its first character
    /// after whitespace, a sign and leading zeros is y, Y, t, T or 1 to 9.
    bool boolValue() const;
    /// A string as is; a number in its shortest decimal form (1.0 is "1");
    /// a bool as "1" or "0"; else "".
    std::string stringValue() const;

    /// Deep equality: containers compare by contents, and 1, 1.0 and true
    /// are three different values.
    bool operator==(const Value& other) const;

    /// A copy in which every nested container is copied too.
    Value deepCopy() const;

private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string, Date, Bytes, ArrayRef,
        DictionaryRef>
        m_storage;
};

}
