#include "conversion/ACT_GTMStringEncoding.h"

#include "platform/foundation/Text.h"

#include <bit>
#include <numeric>

namespace conversion {

using platform::foundation::Bytes;

namespace {

bool isAscii(std::string_view text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 128)
            return false;
    }
    return true;
}

std::size_t index(char c)
{
    return static_cast<unsigned char>(c);
}

}

std::shared_ptr<ACT_GTMStringEncoding> ACT_GTMStringEncoding::binaryStringEncoding()
{
    return stringEncodingWithString("01");
}

std::shared_ptr<ACT_GTMStringEncoding> ACT_GTMStringEncoding::hexStringEncoding()
{
    auto encoding = stringEncodingWithString("0123456789ABCDEF");
    encoding->addDecodeSynonyms("AaBbCcDdEeFf");
    return encoding;
}

std::shared_ptr<ACT_GTMStringEncoding> ACT_GTMStringEncoding::rfc4648Base32StringEncoding()
{
    return padded("ABCDEFGHIJKLMNOPQRSTUVWXYZ234567");
}

std::shared_ptr<ACT_GTMStringEncoding> ACT_GTMStringEncoding::rfc4648Base32HexStringEncoding()
{
    return padded("0123456789ABCDEFGHIJKLMNOPQRSTUV");
}

std::shared_ptr<ACT_GTMStringEncoding> ACT_GTMStringEncoding::crockfordBase32StringEncoding()
{
    auto encoding = stringEncodingWithString("0123456789ABCDEFGHJKMNPQRSTVWXYZ");
    encoding->addDecodeSynonyms("0oO1iIlLAaBbCcDdEeFfGgHhJjKkMmNnPpQqRrSsTtVvWwXxYyZz");
    return encoding;
}

std::shared_ptr<ACT_GTMStringEncoding> ACT_GTMStringEncoding::rfc4648Base64StringEncoding()
{
    return padded("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
}

std::shared_ptr<ACT_GTMStringEncoding> ACT_GTMStringEncoding::rfc4648Base64WebsafeStringEncoding()
{
    return padded("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_");
}

std::shared_ptr<ACT_GTMStringEncoding> ACT_GTMStringEncoding::padded(std::string_view alphabet)
{
    auto encoding = stringEncodingWithString(alphabet);
    encoding->setPaddingChar('=');
    encoding->setDoPad(true);
    return encoding;
}

std::shared_ptr<ACT_GTMStringEncoding> ACT_GTMStringEncoding::stringEncodingWithString(
    std::string_view alphabet)
{
    if (!isAscii(alphabet) || alphabet.size() < 2 || alphabet.size() > 128
        || !std::has_single_bit(alphabet.size()))
        return nullptr;
    std::array<bool, 128> seen {};
    for (char c : alphabet) {
        if (seen[index(c)])
            return nullptr;
        seen[index(c)] = true;
    }
    return std::make_shared<ACT_GTMStringEncoding>(alphabet);
}

ACT_GTMStringEncoding::ACT_GTMStringEncoding(std::string_view alphabet)
    : m_charMap(alphabet)
    , m_shift(static_cast<std::int32_t>(std::countr_zero(alphabet.size())))
    , m_mask(static_cast<std::int32_t>(alphabet.size()) - 1)
{
    m_padLen = std::lcm(8, m_shift) / m_shift;
    m_reverseCharMap.fill(kInvalid);
    for (std::size_t i = 0; i < m_charMap.size(); ++i)
        m_reverseCharMap[index(m_charMap[i])] = static_cast<std::int32_t>(i);
}

void ACT_GTMStringEncoding::addDecodeSynonyms(std::string_view synonyms)
{
    std::int32_t current = kInvalid;
    for (char c : synonyms) {
        if (index(c) >= m_reverseCharMap.size())
            continue;
        auto& value = m_reverseCharMap[index(c)];
        if (value >= 0)
            current = value;
        else if (current >= 0)
            value = current;
    }
}

void ACT_GTMStringEncoding::ignoreCharacters(std::string_view characters)
{
    for (char c : characters) {
        if (index(c) < m_reverseCharMap.size())
            m_reverseCharMap[index(c)] = kIgnored;
    }
}

void ACT_GTMStringEncoding::setPaddingChar(char paddingChar)
{
    m_paddingChar = paddingChar;
    if (index(paddingChar) < m_reverseCharMap.size())
        m_reverseCharMap[index(paddingChar)] = kPadding;
}

std::string ACT_GTMStringEncoding::encode(const Bytes& bytes) const
{
    std::string text;
    std::uint32_t buffer = 0;
    std::int32_t bits = 0;
    for (std::uint8_t byte : bytes) {
        buffer = (buffer << 8) | byte;
        bits += 8;
        while (bits >= m_shift) {
            bits -= m_shift;
            text += m_charMap[(buffer >> bits) & static_cast<std::uint32_t>(m_mask)];
        }
        buffer &= (1u << bits) - 1;
    }
    if (bits > 0)
        text += m_charMap[(buffer << (m_shift - bits)) & static_cast<std::uint32_t>(m_mask)];
    while (m_doPad && text.size() % static_cast<std::size_t>(m_padLen) != 0)
        text += m_paddingChar;
    return text;
}

std::string ACT_GTMStringEncoding::encodeString(std::string_view text) const
{
    return encode(Bytes(text.begin(), text.end()));
}

std::optional<Bytes> ACT_GTMStringEncoding::decode(std::string_view text) const
{
    if (!isAscii(text))
        return std::nullopt;
    Bytes bytes;
    std::uint32_t buffer = 0;
    std::int32_t bits = 0;
    bool padding = false;
    for (char c : text) {
        auto value = m_reverseCharMap[index(c)];
        if (value == kIgnored)
            continue;
        if (value == kInvalid)
            return std::nullopt;
        if (value == kPadding) {
            padding = true;
            continue;
        }
        if (padding)
            return std::nullopt;
        buffer = (buffer << m_shift) | static_cast<std::uint32_t>(value);
        bits += m_shift;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<std::uint8_t>(buffer >> bits));
            buffer &= (1u << bits) - 1;
        }
    }
    if (buffer != 0)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> ACT_GTMStringEncoding::stringByDecoding(std::string_view text) const
{
    auto bytes = decode(text);
    if (!bytes)
        return std::nullopt;
    std::string decoded(bytes->begin(), bytes->end());
    if (!platform::foundation::isValidUtf8(decoded))
        return std::nullopt;
    return decoded;
}

std::string ACT_GTMStringEncoding::description() const
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string alphabet = "<";
    for (std::size_t i = 0; i < m_charMap.size(); ++i) {
        if (i > 0 && i % 4 == 0)
            alphabet += ' ';
        auto byte = static_cast<unsigned char>(m_charMap[i]);
        alphabet += kHex[byte >> 4];
        alphabet += kHex[byte & 0xF];
    }
    alphabet += ">";
    return "<Base" + std::to_string(1 << m_shift) + " StringEncoder: " + alphabet + ">";
}

}
