#include "kit/core/EMBMachO.h"

#include "kit/core/CRNDataHelpers.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace kit {

using platform::foundation::VersionTriple;

namespace {

constexpr std::uint32_t kMagic32 { 0xFEEDFACE };
constexpr std::uint32_t kMagic64 { 0xFEEDFACF };
constexpr std::uint32_t kFatMagic { 0xCAFEBABE };
constexpr std::uint32_t kHeaderSize32 { 28 };
constexpr std::uint32_t kHeaderSize64 { 32 };
constexpr std::int32_t kAbi64 { 0x01000000 };
constexpr std::int32_t kCpuTypeX86 { 7 };
constexpr std::int32_t kCpuTypeArm { 12 };
constexpr std::uint32_t kEncryptionInfo { 0x21 };
constexpr std::uint32_t kEncryptionInfo64 { 0x2C };
constexpr std::uint32_t kVersionMinTvOS { 0x2F };
constexpr std::uint32_t kVersionMinWatchOS { 0x30 };
constexpr std::uint32_t kLoadDylib { 0xC };
constexpr std::uint32_t kIdDylib { 0xD };
constexpr std::uint32_t kLoadWeakDylib { 0x80000018 };
constexpr std::uint32_t kReexportDylib { 0x8000001F };

std::uint32_t readWord(std::span<const std::uint8_t> bytes, std::size_t offset, bool swapped = false)
{
    std::uint32_t word = 0;
    if (offset <= bytes.size() && bytes.size() - offset >= sizeof word)
        std::memcpy(&word, bytes.data() + offset, sizeof word);
    return swapped ? __builtin_bswap32(word) : word;
}

std::uint64_t readDoubleWord(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    std::uint64_t word = 0;
    if (offset <= bytes.size() && bytes.size() - offset >= sizeof word)
        std::memcpy(&word, bytes.data() + offset, sizeof word);
    return word;
}

std::uint32_t readBigEndian(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return __builtin_bswap32(readWord(bytes, offset));
}

// A fixed-size name field: up to 16 bytes, ending at the first NUL.
std::string_view nameField(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < 16)
        return {};
    const char* name = reinterpret_cast<const char*>(bytes.data() + offset);
    return { name, strnlen(name, 16) };
}

struct Header {
    bool is64 { false };
    bool swapped { false };
};

std::optional<Header> headerOf(std::span<const std::uint8_t> image)
{
    switch (readWord(image, 0)) {
    case kMagic32:
        return Header { false, false };
    case kMagic64:
        return Header { true, false };
    case __builtin_bswap32(kMagic32):
        return Header { false, true };
    case __builtin_bswap32(kMagic64):
        return Header { true, true };
    default:
        return std::nullopt;
    }
}

VersionTriple versionOf(std::uint32_t version)
{
    return { version >> 16, (version >> 8) & 0xFF, version & 0xFF };
}

bool isVersionMinimum(std::uint32_t command)
{
    return command == kEMBMachOVersionMinMacOS || command == kEMBMachOVersionMinIPhoneOS
        || command == kVersionMinTvOS || command == kVersionMinWatchOS;
}

}

EMBMachOFile::EMBMachOFile(int descriptor, const std::uint8_t* mapping, std::size_t size)
    : m_descriptor(descriptor)
    , m_mapping(mapping)
    , m_size(size)
{
}

EMBMachOFile::EMBMachOFile(EMBMachOFile&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
    , m_mapping(std::exchange(other.m_mapping, nullptr))
    , m_size(std::exchange(other.m_size, 0))
{
}

EMBMachOFile& EMBMachOFile::operator=(EMBMachOFile&& other) noexcept
{
    if (this != &other) {
        this->~EMBMachOFile();
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_mapping = std::exchange(other.m_mapping, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

EMBMachOFile::~EMBMachOFile()
{
    if (m_mapping)
        ::munmap(const_cast<std::uint8_t*>(m_mapping), m_size);
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_mapping = nullptr;
    m_descriptor = -1;
}

std::optional<EMBMachOFile> EMBMachOFile::initWithPath(const std::filesystem::path& path)
{
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    struct stat status { };
    void* mapping = MAP_FAILED;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size >= 16)
        mapping
            = ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_SHARED, descriptor, 0);
    if (mapping == MAP_FAILED) {
        ::close(descriptor);
        return std::nullopt;
    }
    return EMBMachOFile(
        descriptor, static_cast<const std::uint8_t*>(mapping), static_cast<std::size_t>(status.st_size));
}

std::optional<EMBMachOFile> EMBMachOFile::initWithCurrent()
{
    return initWithPath("/proc/self/exe");
}

std::vector<EMBMachOSlice> EMBMachOFile::slices() const
{
    return EMBMachOEnumerateSlicesAtAddress(bytes());
}

std::optional<EMBMachOSlice> EMBMachOFile::sliceWithArchitectureName(std::string_view name) const
{
    for (const auto& slice : slices()) {
        if (EMBMachOSliceGetArchitectureName(slice) == name)
            return slice;
    }
    return std::nullopt;
}

std::vector<EMBMachOSlice> EMBMachOEnumerateSlicesAtAddress(std::span<const std::uint8_t> bytes)
{
    std::vector<EMBMachOSlice> slices;
    if (readBigEndian(bytes, 0) == kFatMagic) {
        std::uint32_t count = readBigEndian(bytes, 4);
        for (std::uint32_t index = 0; index < count; ++index) {
            std::size_t entry = 8 + std::size_t { index } * 20;
            if (entry + 20 > bytes.size())
                break;
            std::uint32_t offset = readBigEndian(bytes, entry + 8);
            std::uint32_t size = readBigEndian(bytes, entry + 12);
            if (offset > bytes.size() || size > bytes.size() - offset)
                continue;
            slices.push_back(
                { bytes.subspan(offset, size), static_cast<std::int32_t>(readBigEndian(bytes, entry)),
                    static_cast<std::int32_t>(readBigEndian(bytes, entry + 4)) });
        }
        return slices;
    }
    EMBMachOSlice slice { bytes };
    if (auto header = headerOf(bytes)) {
        slice.cpuType = static_cast<std::int32_t>(readWord(bytes, 4, header->swapped));
        slice.cpuSubtype = static_cast<std::int32_t>(readWord(bytes, 8, header->swapped));
    }
    slices.push_back(slice);
    return slices;
}

std::string EMBMachOSliceGetArchitectureName(const EMBMachOSlice& slice)
{
    std::int32_t subtype = slice.cpuSubtype & 0x00FFFFFF;
    switch (slice.cpuType) {
    case kCpuTypeArm | kAbi64:
        return subtype == 2 ? "arm64e" : subtype == 0 || subtype == 1 ? "arm64" : "unknown";
    case kCpuTypeArm:
        switch (subtype) {
        case 6:
            return "armv6";
        case 9:
            return "armv7";
        case 11:
            return "armv7s";
        case 12:
            return "armv7k";
        default:
            return "unknown";
        }
    case kCpuTypeX86 | kAbi64:
        return subtype == 8 ? "x86_64h" : "x86_64";
    case kCpuTypeX86:
        return "i386";
    default:
        return "unknown";
    }
}

bool EMBMachOSliceIs64Bit(const EMBMachOSlice& slice)
{
    return (slice.cpuType & kAbi64) != 0;
}

void EMBMachOSliceEnumerateLoadCommands(EMBMachOSlice& slice,
    const std::function<void(std::uint32_t command, std::uint32_t size, std::span<const std::uint8_t> bytes)>&
        block)
{
    auto header = headerOf(slice.image);
    if (!header)
        return;
    const auto& image = slice.image;
    slice.cpuType = static_cast<std::int32_t>(readWord(image, 4, header->swapped));
    slice.cpuSubtype = static_cast<std::int32_t>(readWord(image, 8, header->swapped));
    std::uint32_t count = readWord(image, 16, header->swapped);
    std::size_t offset = header->is64 ? kHeaderSize64 : kHeaderSize32;
    for (std::uint32_t index = 0; index < count; ++index) {
        if (offset > image.size() || image.size() - offset < 8)
            return;
        std::uint32_t command = readWord(image, offset, header->swapped);
        std::uint32_t size = readWord(image, offset + 4, header->swapped);
        if (size < 8 || size > image.size() - offset)
            return;
        block(command, size, image.subspan(offset, size));
        offset += size;
    }
}

std::optional<EMBMachOSection> EMBMachOSliceInitSectionByName(
    EMBMachOSlice& slice, std::string_view segment, std::string_view section)
{
    std::optional<EMBMachOSection> found;
    EMBMachOSliceEnumerateLoadCommands(slice, [&](std::uint32_t command, std::uint32_t, auto bytes) {
        if (found || (command != kEMBMachOSegment && command != kEMBMachOSegment64))
            return;
        bool is64 = command == kEMBMachOSegment64;
        if (nameField(bytes, 8) != segment)
            return;
        std::size_t sectionCount = readWord(bytes, is64 ? 64 : 48);
        std::size_t sectionSize = is64 ? 80 : 68;
        std::size_t first = is64 ? 72 : 56;
        for (std::size_t index = 0; index < sectionCount; ++index) {
            std::size_t at = first + index * sectionSize;
            if (at + sectionSize > bytes.size())
                return;
            if (nameField(bytes, at) != section)
                continue;
            if (is64)
                found = EMBMachOSection { readDoubleWord(bytes, at + 32), readDoubleWord(bytes, at + 40),
                    readWord(bytes, at + 48) };
            else
                found = EMBMachOSection { readWord(bytes, at + 32), readWord(bytes, at + 36),
                    readWord(bytes, at + 40) };
            return;
        }
    });
    return found;
}

std::optional<std::span<const std::uint8_t>> EMBMachOSliceGetSectionByName(
    EMBMachOSlice& slice, std::string_view segment, std::string_view section)
{
    auto found = EMBMachOSliceInitSectionByName(slice, segment, section);
    if (!found || found->offset > slice.image.size() || found->size > slice.image.size() - found->offset)
        return std::nullopt;
    return slice.image.subspan(found->offset, static_cast<std::size_t>(found->size));
}

std::optional<std::array<std::uint8_t, 16>> EMBMachOGetUUID(std::span<const std::uint8_t> command)
{
    if (readWord(command, 0) != kEMBMachOUUID || command.size() < 24)
        return std::nullopt;
    std::array<std::uint8_t, 16> uuid {};
    std::memcpy(uuid.data(), command.data() + 8, uuid.size());
    return uuid;
}

std::optional<std::string> EMBMachOGetDylibPath(std::span<const std::uint8_t> command)
{
    std::uint32_t kind = readWord(command, 0);
    if (kind != kLoadDylib && kind != kIdDylib && kind != kLoadWeakDylib && kind != kReexportDylib)
        return std::nullopt;
    std::uint32_t offset = readWord(command, 8);
    if (offset < 24 || offset >= command.size())
        return std::nullopt;
    const char* name = reinterpret_cast<const char*>(command.data() + offset);
    return std::string(name, strnlen(name, command.size() - offset));
}

bool EMBMachOGetEncrypted(std::span<const std::uint8_t> command)
{
    std::uint32_t kind = readWord(command, 0);
    return (kind == kEncryptionInfo || kind == kEncryptionInfo64) && readWord(command, 16) != 0;
}

VersionTriple EMBMachOGetMinimumOSVersion(std::span<const std::uint8_t> command)
{
    return isVersionMinimum(readWord(command, 0)) ? versionOf(readWord(command, 8)) : VersionTriple {};
}

VersionTriple EMBMachOGetLinkedSDKVersion(std::span<const std::uint8_t> command)
{
    return isVersionMinimum(readWord(command, 0)) ? versionOf(readWord(command, 12)) : VersionTriple {};
}

EMBMachOSegmentInfo EMBMachOGetSegmentCommand(std::span<const std::uint8_t> command)
{
    switch (readWord(command, 0)) {
    case kEMBMachOSegment64:
        return { std::string(nameField(command, 8)), readDoubleWord(command, 24),
            readDoubleWord(command, 32) };
    case kEMBMachOSegment:
        return { std::string(nameField(command, 8)), readWord(command, 24), readWord(command, 28) };
    default:
        return {};
    }
}

std::string EMBMachONormalizeUUID(const std::array<std::uint8_t, 16>& bytes)
{
    return CRNUUIDToNSString(bytes.data());
}

std::optional<std::string> EMBMachOFormatVersion(const VersionTriple* version)
{
    if (!version)
        return std::nullopt;
    return version->string();
}

}
