#include "platform/foundation/Json.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/HugePages.h"

#include <nlohmann/json.hpp>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace platform::foundation {

namespace {

// Deeper input is refused: containers are released recursively, and a few
// thousand nested brackets must not be able to exhaust the stack.
constexpr std::size_t kMaximumDepth = 512;

// From this size on, the records of an answer are asked onto huge pages: lists that long are walked at
// every refresh, and their records fill more memory than the processor's translation cache covers.
constexpr std::size_t kHugeAnswer = std::size_t { 1 } << 20;

// Builds Values straight from the parser's events, without an intermediate tree. A container's members
// gather in a reused scratch frame and the container is made when it closes, with exactly the room it needs,
// so that a record's header and its entries are allocated side by side.
class ValueBuilder {
public:
    /// A builder that notes where each container it makes lies in `frames`, when given.
    explicit ValueBuilder(HugePageFrames* frames)
        : m_hugePageFrames(frames)
    {
    }

    using number_integer_t = nlohmann::json::number_integer_t;
    using number_unsigned_t = nlohmann::json::number_unsigned_t;
    using number_float_t = nlohmann::json::number_float_t;
    using string_t = nlohmann::json::string_t;
    using binary_t = nlohmann::json::binary_t;

    bool null() { return add(Value()); }
    bool boolean(bool value) { return add(Value(value)); }
    bool number_integer(number_integer_t value) { return add(Value(value)); }
    bool number_unsigned(number_unsigned_t value)
    {
        if (value > static_cast<number_unsigned_t>(std::numeric_limits<std::int64_t>::max()))
            return add(Value(static_cast<double>(value)));
        return add(Value(static_cast<std::int64_t>(value)));
    }
    bool number_float(number_float_t value, const string_t&) { return add(Value(value)); }
    bool string(string_t& value) { return add(Value(std::move(value))); }
    bool binary(binary_t&) { return add(Value()); }

    bool start_object(std::size_t) { return enter(true); }
    bool key(string_t& key)
    {
        m_frames[m_depth - 1].key = std::move(key);
        return true;
    }
    bool end_object()
    {
        Frame& frame = m_frames[--m_depth];
        Dictionary::Entries entries(
            std::make_move_iterator(frame.entries.begin()), std::make_move_iterator(frame.entries.end()));
        frame.entries.clear();
        auto dictionary = Dictionary::make(std::move(entries));
        if (m_hugePageFrames) {
            m_hugePageFrames->note(dictionary.get());
            m_hugePageFrames->note(dictionary->entries().data());
        }
        return add(Value(std::move(dictionary)));
    }
    bool start_array(std::size_t) { return enter(false); }
    bool end_array()
    {
        Frame& frame = m_frames[--m_depth];
        std::vector<Value> values(
            std::make_move_iterator(frame.values.begin()), std::make_move_iterator(frame.values.end()));
        frame.values.clear();
        auto array = Array::make(std::move(values));
        if (m_hugePageFrames)
            m_hugePageFrames->note(array.get());
        return add(Value(std::move(array)));
    }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::json::exception& error)
    {
        std::string message = error.what();
        // The library's own tag ("[json.exception.parse_error.101] ") says nothing to a reader.
        if (auto tagEnd = message.find("] ");
            message.starts_with("[json.exception") && tagEnd != std::string::npos)
            message.erase(0, tagEnd + 2);
        m_error = "malformed JSON at byte " + std::to_string(position) + ": " + message;
        return false;
    }

    Value takeRoot() { return std::move(m_root); }
    const std::string& error() const { return m_error; }

private:
    // The members read so far of one open container: entries of an object, values of an array.
    struct Frame {
        bool object { false };
        Dictionary::Entries entries;
        std::vector<Value> values;
        std::string key;
    };

    bool add(Value value)
    {
        if (!m_depth) {
            m_root = std::move(value);
            return true;
        }
        Frame& top = m_frames[m_depth - 1];
        if (top.object)
            top.entries.emplace_back(std::move(top.key), std::move(value));
        else
            top.values.push_back(std::move(value));
        return true;
    }

    bool enter(bool object)
    {
        if (m_depth == kMaximumDepth) {
            m_error = "malformed JSON: nested deeper than " + std::to_string(kMaximumDepth) + " levels";
            return false;
        }
        if (m_depth == m_frames.size())
            m_frames.emplace_back();
        m_frames[m_depth++].object = object;
        return true;
    }

    Value m_root;
    // The open containers, outermost first; frames beyond the depth keep their room for the next ones.
    std::vector<Frame> m_frames;
    std::size_t m_depth { 0 };
    std::string m_error;
    HugePageFrames* m_hugePageFrames { nullptr };
};

class JsonWriter {
public:
    explicit JsonWriter(std::string& out)
        : m_out(out)
    {
    }

    void write(const Value& value)
    {
        switch (value.type()) {
        case Value::Type::Null:
            m_out += "null";
            break;
        case Value::Type::Bool:
            m_out += *value.boolean() ? "true" : "false";
            break;
        case Value::Type::Integer:
            writeInteger(*value.integer());
            break;
        case Value::Type::Real:
            writeReal(*value.number());
            break;
        case Value::Type::String:
            writeString(*value.string());
            break;
        case Value::Type::Date:
            writeReal(value.date()->secondsSince1970);
            break;
        case Value::Type::Bytes:
            writeBase64(*value.bytes());
            break;
        case Value::Type::Array:
            writeArray(*value.array());
            break;
        case Value::Type::Dictionary:
            writeDictionary(*value.dictionary());
            break;
        }
    }

private:
    void writeArray(const Array& array)
    {
        m_out += '[';
        bool first = true;
        for (auto& element : array) {
            if (!first)
                m_out += ',';
            first = false;
            write(element);
        }
        m_out += ']';
    }

    void writeDictionary(const Dictionary& dictionary)
    {
        m_out += '{';
        bool first = true;
        for (auto& [key, element] : dictionary.entries()) {
            if (!first)
                m_out += ',';
            first = false;
            writeString(key);
            m_out += ':';
            write(element);
        }
        m_out += '}';
    }

    void writeInteger(std::int64_t value)
    {
        std::array<char, 24> buffer {};
        auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
        m_out.append(buffer.data(), result.ptr);
    }

    // Shortest text that reads back as the same real, always with a
    // fraction or exponent so that it reads back as a real. JSON has no
    // infinities or NaN: those are written as null.
    void writeReal(double value)
    {
        if (!std::isfinite(value)) {
            m_out += "null";
            return;
        }
        std::array<char, 32> buffer {};
        auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
        std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
        m_out += text;
        if (text.find_first_of(".e") == std::string_view::npos)
            m_out += ".0";
    }

    void writeString(std::string_view text)
    {
        static constexpr char hex[] = "0123456789abcdef";
        m_out += '"';
        std::size_t clean = 0;
        std::size_t position = 0;
        auto flush = [&] { m_out.append(text.data() + clean, position - clean); };
        while (position < text.size()) {
            auto c = static_cast<unsigned char>(text[position]);
            if (c >= 0x20 && c != '"' && c != '\\' && c < 0x80) {
                ++position;
                continue;
            }
            if (c >= 0x80) {
                std::size_t length = validSequenceLength(text, position);
                if (length) {
                    position += length;
                    continue;
                }
                flush();
                m_out += "\xEF\xBF\xBD";
                clean = ++position;
                continue;
            }
            flush();
            switch (c) {
            case '"':
                m_out += "\\\"";
                break;
            case '\\':
                m_out += "\\\\";
                break;
            case '\b':
                m_out += "\\b";
                break;
            case '\f':
                m_out += "\\f";
                break;
            case '\n':
                m_out += "\\n";
                break;
            case '\r':
                m_out += "\\r";
                break;
            case '\t':
                m_out += "\\t";
                break;
            default:
                m_out += "\\u00";
                m_out += hex[c >> 4];
                m_out += hex[c & 0xF];
            }
            clean = ++position;
        }
        flush();
        m_out += '"';
    }

    // The length of the well-formed UTF-8 sequence starting at `position`,
    // or 0 when the bytes there are not one (they are then replaced).
    static std::size_t validSequenceLength(std::string_view text, std::size_t position)
    {
        auto byte = [&](std::size_t offset) -> unsigned {
            return position + offset < text.size() ? static_cast<unsigned char>(text[position + offset]) : 0;
        };
        unsigned lead = byte(0);
        auto continuation = [&](std::size_t offset, unsigned low, unsigned high) {
            unsigned value = byte(offset);
            return value >= low && value <= high;
        };
        if (lead >= 0xC2 && lead <= 0xDF)
            return continuation(1, 0x80, 0xBF) ? 2 : 0;
        if (lead >= 0xE0 && lead <= 0xEF) {
            unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
            unsigned high = lead == 0xED ? 0x9F : 0xBF;
            return continuation(1, low, high) && continuation(2, 0x80, 0xBF) ? 3 : 0;
        }
        if (lead >= 0xF0 && lead <= 0xF4) {
            unsigned low = lead == 0xF0 ? 0x90 : 0x80;
            unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
            return continuation(1, low, high) && continuation(2, 0x80, 0xBF) && continuation(3, 0x80, 0xBF)
                ? 4
                : 0;
        }
        return 0;
    }

    void writeBase64(const Bytes& bytes)
    {
        m_out += '"';
        m_out += Base64::encode(bytes);
        m_out += '"';
    }

    std::string& m_out;
};

}

JsonResult parseJson(std::string_view text)
{
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return JsonResult { Value(), "malformed JSON: the text is empty" };
    // The underlying reader takes a NUL byte for the end of the text and would
    // accept whatever follows it.
    if (auto nul = text.find('\0'); nul != std::string_view::npos)
        return JsonResult { Value(),
            "malformed JSON at byte " + std::to_string(nul + 1) + ": NUL character" };
    HugePageFrames frames;
    ValueBuilder builder(text.size() >= kHugeAnswer ? &frames : nullptr);
    bool parsed = nlohmann::json::sax_parse(text.begin(), text.end(), &builder);
    if (!parsed) {
        std::string error = builder.error().empty() ? "malformed JSON" : builder.error();
        return JsonResult { Value(), std::move(error) };
    }
    frames.collapse();
    return JsonResult { builder.takeRoot(), {} };
}

std::string toJson(const Value& value)
{
    std::string out;
    JsonWriter(out).write(value);
    return out;
}

}
