#include "attribution/WayfinderScrambler.h"

#include <cstdint>
#include <vector>

namespace attribution {

namespace {

// The UTF-16 code units of the UTF-8 text `text` (a malformed byte stands for itself).
std::vector<std::uint16_t> utf16(std::string_view text)
{
    std::vector<std::uint16_t> units;
    for (std::size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = byte < 0x80 ? 1
            : (byte >> 5) == 6           ? 2
            : (byte >> 4) == 14          ? 3
            : (byte >> 3) == 30          ? 4
                                         : 0;
        if (length == 0 || i + length > text.size()) {
            units.push_back(byte);
            ++i;
            continue;
        }
        std::uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        if (code >= 0x10000) {
            code -= 0x10000;
            units.push_back(static_cast<std::uint16_t>(0xD800 + (code >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(code));
        }
        i += length;
    }
    return units;
}

}

std::array<char, 64> WayfinderScrambler::alphabet(std::string_view devKey)
{
    std::array<char, 64> letters {};
    for (std::size_t i = 0; i < letters.size(); ++i)
        letters[i] = kBaseAlphabet[i];
    auto key = utf16(devKey);
    if (key.empty())
        return letters;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        auto j = (key[i % key.size()] + i) % letters.size();
        std::swap(letters[i], letters[j]);
    }
    return letters;
}

std::string WayfinderScrambler::scramble(std::string_view text, std::string_view devKey)
{
    if (devKey.empty())
        return {};
    auto letters = alphabet(devKey);
    std::string out;
    out.reserve(4 * ((text.size() + 2) / 3));
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t i = 0;
    for (; i + 2 < text.size(); i += 3) {
        out += letters[byte(i) >> 2];
        out += letters[((byte(i) & 3) << 4) | (byte(i + 1) >> 4)];
        out += letters[((byte(i + 1) & 15) << 2) | (byte(i + 2) >> 6)];
        out += letters[byte(i + 2) & 63];
    }
    if (text.size() - i == 1) {
        out += letters[byte(i) >> 2];
        out += letters[(byte(i) & 3) << 4];
        out += "==";
    } else if (text.size() - i == 2) {
        out += letters[byte(i) >> 2];
        out += letters[((byte(i) & 3) << 4) | (byte(i + 1) >> 4)];
        out += letters[(byte(i + 1) & 15) << 2];
        out += "=";
    }
    return out;
}

}
