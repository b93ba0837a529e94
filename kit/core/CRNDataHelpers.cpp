#include "kit/core/CRNDataHelpers.h"

#include "platform/foundation/Uuid.h"

#include <openssl/sha.h>

#include <cstring>

namespace kit {

void CRNHexFromByte(std::uint8_t byte, char* out)
{
    if (!out)
        return;
    out[0] = CRNHexMap[byte >> 4];
    out[1] = CRNHexMap[byte & 0x0F];
}

void CRNSafeHexToString(const void* bytes, std::size_t length, char* out)
{
    if (!out)
        return;
    std::memset(out, 0, 2 * length + 1);
    if (!bytes)
        return;
    const auto* input = static_cast<const std::uint8_t*>(bytes);
    for (std::size_t index = 0; index < length; ++index)
        CRNHexFromByte(input[index], out + 2 * index);
}

std::string CRNNSDataPrettyDescription(const platform::foundation::Bytes& data)
{
    std::string text(2 * data.size(), '\0');
    for (std::size_t index = 0; index < data.size(); ++index)
        CRNHexFromByte(data[index], text.data() + 2 * index);
    return text;
}

std::string CRNHashBytes(const void* bytes, std::size_t length)
{
    unsigned char digest[SHA_DIGEST_LENGTH];
    static constexpr unsigned char nothing = 0;
    ::SHA1(bytes ? static_cast<const unsigned char*>(bytes) : &nothing, bytes ? length : 0, digest);
    std::string text(2 * SHA_DIGEST_LENGTH, '\0');
    for (std::size_t index = 0; index < SHA_DIGEST_LENGTH; ++index)
        CRNHexFromByte(digest[index], text.data() + 2 * index);
    return text;
}

std::string CRNHashBytes(std::string_view text)
{
    return CRNHashBytes(text.data(), text.size());
}

std::string CRNHashNSData(const platform::foundation::Bytes& data)
{
    return CRNHashBytes(data.data(), data.size());
}

std::string CRNGenerateUUID()
{
    return platform::foundation::Uuid::random().string();
}

std::string CRNUUIDToNSString(const std::uint8_t* bytes)
{
    std::string text(32, '\0');
    for (std::size_t index = 0; index < 16; ++index)
        CRNHexFromByte(bytes[index], text.data() + 2 * index);
    return text;
}

}
