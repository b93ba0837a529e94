#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// A random (version 4) UUID.
class Uuid {
public:
    /// A new UUID from the system's random source.
    static Uuid random();
    /// The UUID `text` holds as string() writes it (hex digits of either case), or nullopt.
    static std::optional<Uuid> fromString(std::string_view text);

    /// The UUID as the platform writes it: upper-case hexadecimal in groups
    /// of 8-4-4-4-12 joined by "-", such as "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
    std::string string() const;

    /// The 16 bytes.
    const std::array<std::uint8_t, 16>& bytes() const { return m_bytes; }

    bool operator==(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> m_bytes {};
};

}
