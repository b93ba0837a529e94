#pragma once

#include "kit/core/CRNDataHelpers.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kit {

// The crash kit's names for the kit core's hex, digest and UUID helpers: the same routines, not copies.

/// CRNHexFromByte: two lower-case hex digits, no terminator. Async-signal-safe.
inline void EMBHexFromByte(std::uint8_t byte, char* out)
{
    CRNHexFromByte(byte, out);
}

/// CRNSafeHexToString: 2 × length hex digits and a terminator into `out`. Async-signal-safe.
inline void EMBSafeHexToString(const void* bytes, std::size_t length, char* out)
{
    CRNSafeHexToString(bytes, length, out);
}

/// CRNNSDataPrettyDescription: the bytes as lower-case hex text.
inline std::string EMBNSDataToNSString(const platform::foundation::Bytes& data)
{
    return CRNNSDataPrettyDescription(data);
}

/// CRNHashBytes: SHA-1 as 40 lower-case hex digits.
inline std::string EMBHashBytes(const void* bytes, std::size_t length)
{
    return CRNHashBytes(bytes, length);
}

/// CRNHashNSData: SHA-1 of the data as 40 lower-case hex digits.
inline std::string EMBHashNSData(const platform::foundation::Bytes& data)
{
    return CRNHashNSData(data);
}

/// CRNGenerateUUID: a new UUID, upper-case with dashes.
inline std::string EMBGenerateUUID()
{
    return CRNGenerateUUID();
}

}
