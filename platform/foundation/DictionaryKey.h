#pragma once

#include <compare>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace platform::foundation {

/// A dictionary's key: text of up to kInlineCapacity bytes held in place (nearly every key of the app's
/// records), longer text on the heap. At 24 bytes, a key and its value fill one cache line, so that reading
/// a record's field costs one wait for memory.
class DictionaryKey {
public:
    static constexpr std::size_t kInlineCapacity { 20 };

    /// The empty key.
    DictionaryKey() = default;
    /// A key holding a copy of `text`.
    DictionaryKey(std::string_view text);
    DictionaryKey(const std::string& text)
        : DictionaryKey(std::string_view(text))
    {
    }
    DictionaryKey(const char* text)
        : DictionaryKey(std::string_view(text))
    {
    }
    DictionaryKey(const DictionaryKey& other)
        : DictionaryKey(other.view())
    {
    }
    DictionaryKey(DictionaryKey&& other) noexcept;
    DictionaryKey& operator=(const DictionaryKey& other);
    DictionaryKey& operator=(DictionaryKey&& other) noexcept;
    ~DictionaryKey();

    /// The text.
    std::string_view view() const { return { data(), m_size }; }
    operator std::string_view() const { return view(); }
    /// A copy of the text.
    std::string str() const { return std::string(view()); }
    operator std::string() const { return str(); }

    const char* data() const { return m_size > kInlineCapacity ? heap() : m_bytes; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    friend bool operator==(const DictionaryKey& left, const DictionaryKey& right)
    {
        return left.view() == right.view();
    }
    friend bool operator==(const DictionaryKey& key, std::string_view text) { return key.view() == text; }
    friend std::strong_ordering operator<=>(const DictionaryKey& left, const DictionaryKey& right)
    {
        return left.view() <=> right.view();
    }
    friend std::strong_ordering operator<=>(const DictionaryKey& key, std::string_view text)
    {
        return key.view() <=> text;
    }

private:
    char* heap() const
    {
        char* text;
        std::memcpy(&text, m_bytes, sizeof text);
        return text;
    }
    void release();

    // The text when it fits, else the address of the text on the heap; kept as bytes, beside the size, so
    // that the key takes 24 bytes.
    char m_bytes[kInlineCapacity] {};
    std::uint32_t m_size { 0 };
};

/// Writes the key's text.
std::ostream& operator<<(std::ostream& stream, const DictionaryKey& key);

}
