#include "platform/foundation/Value.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace platform::foundation {

namespace {

constexpr std::int64_t kIntegerMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kIntegerMin = std::numeric_limits<std::int64_t>::min();

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipSpace(std::string_view text)
{
    std::size_t position = 0;
    while (position < text.size() && isSpace(text[position]))
        ++position;
    return position;
}

// Leading whitespace, an optional sign, then as many digits as there are;
// anything after them is ignored. Out-of-range values clamp.
std::int64_t scanInteger(std::string_view text)
{
    std::size_t position = skipSpace(text);
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-'))
        negative = text[position++] == '-';
    std::uint64_t magnitude = 0;
    constexpr std::uint64_t limit = static_cast<std::uint64_t>(kIntegerMax) + 1;
    for (; position < text.size() && isDigit(text[position]); ++position) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[position] - '0');
        if (magnitude > limit)
            return negative ? kIntegerMin : kIntegerMax;
    }
    if (negative)
        return magnitude == limit ? kIntegerMin : -static_cast<std::int64_t>(magnitude);
    return magnitude == limit ? kIntegerMax : static_cast<std::int64_t>(magnitude);
}

// Leading whitespace, then the longest prefix that reads as a decimal
// number (sign, digits, fraction, exponent); anything after it is ignored.
double scanDouble(std::string_view text)
{
    std::size_t position = skipSpace(text);
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-'))
        negative = text[position++] == '-';
    std::size_t start = position;
    bool integerPartNonZero = false;
    std::size_t digits = 0;
    for (; position < text.size() && isDigit(text[position]); ++position, ++digits)
        integerPartNonZero = integerPartNonZero || text[position] != '0';
    if (position < text.size() && text[position] == '.') {
        ++position;
        for (; position < text.size() && isDigit(text[position]); ++position)
            ++digits;
    }
    if (!digits)
        return 0;
    bool exponentNegative = false;
    bool hasExponent = false;
    if (position < text.size() && (text[position] == 'e' || text[position] == 'E')) {
        std::size_t exponent = position + 1;
        bool sign = exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-');
        if (sign)
            ++exponent;
        if (exponent < text.size() && isDigit(text[exponent])) {
            hasExponent = true;
            exponentNegative = sign && text[exponent - 1] == '-';
            position = exponent;
            while (position < text.size() && isDigit(text[position]))
                ++position;
        }
    }
    double value = 0;
    auto [end, error] = std::from_chars(text.data() + start, text.data() + position, value);
    if (error == std::errc::result_out_of_range) {
        bool overflow = hasExponent ? !exponentNegative : integerPartNonZero;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

// Leading whitespace, an optional sign and leading zeros, then true when
// the next character is y, t or a non-zero digit.
bool scanBool(std::string_view text)
{
    std::size_t position = skipSpace(text);
    if (position < text.size() && (text[position] == '+' || text[position] == '-'))
        ++position;
    while (position < text.size() && text[position] == '0')
        ++position;
    if (position == text.size())
        return false;
    char c = text[position];
    return c == 'y' || c == 'Y' || c == 't' || c == 'T' || (c >= '1' && c <= '9');
}

std::int64_t truncateReal(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775808.0)
        return kIntegerMax;
    if (value < -9223372036854775808.0)
        return kIntegerMin;
    return static_cast<std::int64_t>(value);
}

}

Value::Value(ArrayRef value)
{
    if (value)
        m_storage = std::move(value);
}

Value::Value(DictionaryRef value)
{
    if (value)
        m_storage = std::move(value);
}

std::optional<bool> Value::boolean() const
{
    if (auto* value = std::get_if<bool>(&m_storage))
        return *value;
    return std::nullopt;
}

std::optional<std::int64_t> Value::integer() const
{
    if (auto* value = std::get_if<std::int64_t>(&m_storage))
        return *value;
    return std::nullopt;
}

std::optional<double> Value::number() const
{
    if (auto* value = std::get_if<double>(&m_storage))
        return *value;
    if (auto* value = std::get_if<std::int64_t>(&m_storage))
        return static_cast<double>(*value);
    return std::nullopt;
}

const std::string* Value::string() const
{
    return std::get_if<std::string>(&m_storage);
}

std::optional<Date> Value::date() const
{
    if (auto* value = std::get_if<Date>(&m_storage))
        return *value;
    return std::nullopt;
}

const Bytes* Value::bytes() const
{
    return std::get_if<Bytes>(&m_storage);
}

ArrayRef Value::array() const
{
    if (auto* value = std::get_if<ArrayRef>(&m_storage))
        return *value;
    return nullptr;
}

const Array* Value::arrayPointer() const
{
    auto* value = std::get_if<ArrayRef>(&m_storage);
    return value ? value->get() : nullptr;
}

const Dictionary* Value::dictionaryPointer() const
{
    auto* value = std::get_if<DictionaryRef>(&m_storage);
    return value ? value->get() : nullptr;
}

DictionaryRef Value::dictionary() const
{
    if (auto* value = std::get_if<DictionaryRef>(&m_storage))
        return *value;
    return nullptr;
}

std::int64_t Value::integerValue() const
{
    switch (type()) {
    case Type::Bool:
        return std::get<bool>(m_storage) ? 1 : 0;
    case Type::Integer:
        return std::get<std::int64_t>(m_storage);
    case Type::Real:
        return truncateReal(std::get<double>(m_storage));
    case Type::String:
        return scanInteger(std::get<std::string>(m_storage));
    default:
        return 0;
    }
}

double Value::doubleValue() const
{
    switch (type()) {
    case Type::Bool:
        return std::get<bool>(m_storage) ? 1.0 : 0.0;
    case Type::Integer:
        return static_cast<double>(std::get<std::int64_t>(m_storage));
    case Type::Real:
        return std::get<double>(m_storage);
    case Type::String:
        return scanDouble(std::get<std::string>(m_storage));
    default:
        return 0;
    }
}

bool Value::boolValue() const
{
    switch (type()) {
    case Type::Bool:
        return std::get<bool>(m_storage);
    case Type::Integer:
        return std::get<std::int64_t>(m_storage) != 0;
    case Type::Real:
        return std::get<double>(m_storage) != 0.0;
    case Type::String:
        return scanBool(std::get<std::string>(m_storage));
    default:
        return false;
    }
}

std::string Value::stringValue() const
{
    switch (type()) {
    case Type::Bool:
        return std::get<bool>(m_storage) ? "1" : "0";
    case Type::Integer:
        return std::to_string(std::get<std::int64_t>(m_storage));
    case Type::Real: {
        std::array<char, 32> buffer {};
        auto result
            = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::get<double>(m_storage));
        return std::string(buffer.data(), result.ptr);
    }
    case Type::String:
        return std::get<std::string>(m_storage);
    default:
        return {};
    }
}

bool Value::operator==(const Value& other) const
{
    if (m_storage.index() != other.m_storage.index())
        return false;
    switch (type()) {
    case Type::Array: {
        auto& left = std::get<ArrayRef>(m_storage);
        auto& right = std::get<ArrayRef>(other.m_storage);
        return left == right || left->equals(*right);
    }
    case Type::Dictionary: {
        auto& left = std::get<DictionaryRef>(m_storage);
        auto& right = std::get<DictionaryRef>(other.m_storage);
        return left == right || left->equals(*right);
    }
    default:
        return m_storage == other.m_storage;
    }
}

Value Value::deepCopy() const
{
    switch (type()) {
    case Type::Array:
        return std::get<ArrayRef>(m_storage)->deepCopy();
    case Type::Dictionary:
        return std::get<DictionaryRef>(m_storage)->deepCopy();
    default:
        return *this;
    }
}

}
