#pragma once

#include "platform/foundation/Value.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kit {

/// The sixteen lower-case hexadecimal digits, in order.
inline constexpr char CRNHexMap[] = "0123456789abcdef";

/// Writes the two lower-case hex digits of `byte` (high nibble first) to `out`; nothing when `out` is null.
/// Writes no terminator. Async-signal-safe.
void CRNHexFromByte(std::uint8_t byte, char* out);

/// Fills `out` (2 × length + 1 bytes) with zeros, then with two lower-case hex digits per byte, so the text
/// is NUL-terminated. Nothing when `out` is null; only the zero fill when `bytes` is null or `length` is 0.
/// Async-signal-safe.
void CRNSafeHexToString(const void* bytes, std::size_t length, char* out);

/// The bytes as lower-case hex text.
std::string CRNNSDataPrettyDescription(const platform::foundation::Bytes& data);

/// The SHA-1 digest of the bytes as 40 lower-case hex digits; null bytes hash as no bytes.
std::string CRNHashBytes(const void* bytes, std::size_t length);
/// The SHA-1 digest of the text's bytes, as CRNHashBytes().
std::string CRNHashBytes(std::string_view text);
/// The SHA-1 digest of the data, as CRNHashBytes().
std::string CRNHashNSData(const platform::foundation::Bytes& data);

/// A new random UUID as the platform writes it: 36 characters, upper-case hex with dashes.
std::string CRNGenerateUUID();

/// 16 UUID bytes as 32 lower-case hex digits without dashes.
std::string CRNUUIDToNSString(const std::uint8_t* bytes);

}
