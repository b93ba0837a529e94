#include "platform/foundation/Base64.h"

#include <array>
#include <cstdint>

namespace platform::foundation {

namespace {

constexpr std::string_view kAlphabet { "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/" };
constexpr std::int8_t kNotInAlphabet { -1 };

// The value of each byte in the alphabet, or kNotInAlphabet.
constexpr std::array<std::int8_t, 256> kValues = [] {
    std::array<std::int8_t, 256> values {};
    values.fill(kNotInAlphabet);
    for (std::size_t i = 0; i < kAlphabet.size(); ++i)
        values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    return values;
}();

}

std::string Base64::encode(std::string_view bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    auto byte = [&](std::size_t index) -> std::uint32_t { return static_cast<unsigned char>(bytes[index]); };
    std::size_t index = 0;
    for (; index + 3 <= bytes.size(); index += 3) {
        std::uint32_t group = (byte(index) << 16) | (byte(index + 1) << 8) | byte(index + 2);
        text += kAlphabet[(group >> 18) & 0x3F];
        text += kAlphabet[(group >> 12) & 0x3F];
        text += kAlphabet[(group >> 6) & 0x3F];
        text += kAlphabet[group & 0x3F];
    }
    std::size_t rest = bytes.size() - index;
    if (rest > 0) {
        std::uint32_t group = byte(index) << 16;
        if (rest == 2)
            group |= byte(index + 1) << 8;
        text += kAlphabet[(group >> 18) & 0x3F];
        text += kAlphabet[(group >> 12) & 0x3F];
        text += rest == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=';
        text += '=';
    }
    return text;
}

std::string Base64::encode(const Bytes& bytes)
{
    return encode(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::optional<std::string> Base64::decode(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    std::uint32_t bits = 0;
    int count = 0;
    for (std::size_t i = 0; i < text.size() - padding; ++i) {
        auto value = kValues[static_cast<unsigned char>(text[i])];
        if (value == kNotInAlphabet)
            return std::nullopt;
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    // What the last character carries beyond the last whole byte must be zero bits.
    if ((bits & ((1u << count) - 1)) != 0)
        return std::nullopt;
    return bytes;
}

}
