#pragma once

#include "platform/foundation/Value.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace conversion {

/// Turns bytes into text over an alphabet of 2^k ASCII characters (k from 1 to 7) and back: each
/// character stands for k bits, read from the first byte on, most significant bit first. With padding on,
/// the text is filled with the padding character to a multiple of padLen() characters. Decoding may also
/// take synonyms of the alphabet's characters and skip ignored ones. Each preset is a new object of its own.
class ACT_GTMStringEncoding {
public:
    /// "01", no padding.
    static std::shared_ptr<ACT_GTMStringEncoding> binaryStringEncoding();
    /// "0123456789ABCDEF", lower-case letters decoded too, no padding.
    static std::shared_ptr<ACT_GTMStringEncoding> hexStringEncoding();
    /// RFC 4648 base32, padded with "=".
    static std::shared_ptr<ACT_GTMStringEncoding> rfc4648Base32StringEncoding();
    /// RFC 4648 base32hex, padded with "=".
    static std::shared_ptr<ACT_GTMStringEncoding> rfc4648Base32HexStringEncoding();
    /// Crockford's base32: lower case decoded too, "o" as 0 and "i" and "l" as 1; no padding.
    static std::shared_ptr<ACT_GTMStringEncoding> crockfordBase32StringEncoding();
    /// RFC 4648 base64, padded with "=".
    static std::shared_ptr<ACT_GTMStringEncoding> rfc4648Base64StringEncoding();
    /// RFC 4648 base64url, padded with "=".
    static std::shared_ptr<ACT_GTMStringEncoding> rfc4648Base64WebsafeStringEncoding();

    /// An encoding over `alphabet`, without padding; nullptr when the alphabet is not ASCII, has fewer than
    /// 2 or more than 128 characters, a length that is no power of two, or a character twice.
    static std::shared_ptr<ACT_GTMStringEncoding> stringEncodingWithString(std::string_view alphabet);

    /// Made by stringEncodingWithString() only (public for std::make_shared); `alphabet` is valid.
    explicit ACT_GTMStringEncoding(std::string_view alphabet);

    /// Walking `synonyms`, a character of the alphabet (or an earlier synonym) becomes the current one, and
    /// each following character not known yet decodes to the current one's value.
    void addDecodeSynonyms(std::string_view synonyms);
    /// Makes decoding skip each of `characters`.
    void ignoreCharacters(std::string_view characters);
    /// Sets the padding character (decoding takes it as padding).
    void setPaddingChar(char paddingChar);
    char paddingChar() const { return m_paddingChar; }
    bool doPad() const { return m_doPad; }
    void setDoPad(bool doPad) { m_doPad = doPad; }
    /// Characters the padded output is a multiple of: lcm(8, k) / k.
    int padLen() const { return m_padLen; }

    /// The text of `bytes` ("" for none).
    std::string encode(const platform::foundation::Bytes& bytes) const;
    /// The text of `text`'s UTF-8 bytes.
    std::string encodeString(std::string_view text) const;
    /// The bytes of `text`, or nullopt when it is not ASCII, holds a character that is neither of the
    /// alphabet, a synonym, ignored nor padding, has a character after padding, or ends in bits that are
    /// not all zero.
    std::optional<platform::foundation::Bytes> decode(std::string_view text) const;
    /// The decoded bytes read as UTF-8, or nullopt when they do not decode or are not UTF-8.
    std::optional<std::string> stringByDecoding(std::string_view text) const;

    /// "<Base<2^k> StringEncoder: <alphabet bytes in hex>>".
    std::string description() const;

private:
    static constexpr std::int32_t kInvalid { -1 };
    static constexpr std::int32_t kPadding { -2 };
    static constexpr std::int32_t kIgnored { -3 };

    static std::shared_ptr<ACT_GTMStringEncoding> padded(std::string_view alphabet);

    std::string m_charMap;
    std::array<std::int32_t, 128> m_reverseCharMap {};
    std::int32_t m_shift { 0 };
    std::int32_t m_mask { 0 };
    bool m_doPad { false };
    char m_paddingChar { '=' };
    std::int32_t m_padLen { 0 };
};

}
