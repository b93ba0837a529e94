#include "platform/foundation/Uuid.h"

#include "platform/foundation/Assertion.h"

#include <sys/random.h>

#include <cerrno>

namespace platform::foundation {

Uuid Uuid::random()
{
    Uuid uuid;
    std::size_t filled = 0;
    while (filled < uuid.m_bytes.size()) {
        ssize_t count = ::getrandom(uuid.m_bytes.data() + filled, uuid.m_bytes.size() - filled, 0);
        if (count < 0 && errno == EINTR)
            continue;
        precondition(count > 0, "the system's random source failed");
        filled += static_cast<std::size_t>(count);
    }
    // Version 4 (random) in the high nibble of byte 6, the RFC 4122 variant in
    // the two high bits of byte 8.
    uuid.m_bytes[6] = static_cast<std::uint8_t>((uuid.m_bytes[6] & 0x0F) | 0x40);
    uuid.m_bytes[8] = static_cast<std::uint8_t>((uuid.m_bytes[8] & 0x3F) | 0x80);
    return uuid;
}

std::optional<Uuid> Uuid::fromString(std::string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    Uuid uuid;
    std::size_t position = 0;
    for (std::size_t index = 0; index < uuid.m_bytes.size(); ++index) {
        if (index == 4 || index == 6 || index == 8 || index == 10) {
            if (text[position++] != '-')
                return std::nullopt;
        }
        int high = digit(text[position++]);
        int low = digit(text[position++]);
        if (high < 0 || low < 0)
            return std::nullopt;
        uuid.m_bytes[index] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return uuid;
}

std::string Uuid::string() const
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (std::size_t index = 0; index < m_bytes.size(); ++index) {
        if (index == 4 || index == 6 || index == 8 || index == 10)
            text += '-';
        text += digits[m_bytes[index] >> 4];
        text += digits[m_bytes[index] & 0x0F];
    }
    return text;
}

}
