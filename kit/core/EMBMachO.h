#pragma once

#include "platform/foundation/ExecutableImage.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

// A reader of Mach-O executables: thin or fat files, their slices, load commands, UUIDs, versions and
// sections. Pure code over bytes: every read is checked against the bytes there are, so a cut or damaged
// file yields less, never a read past its end.

/// One architecture's image in a Mach-O file: its bytes (to the end of the slice) and CPU type.
struct EMBMachOSlice {
    std::span<const std::uint8_t> image;
    std::int32_t cpuType { 0 };
    std::int32_t cpuSubtype { 0 };
};

/// A section's address, size and file offset (64-bit values; 32-bit images widen theirs).
struct EMBMachOSection {
    std::uint64_t addr { 0 };
    std::uint64_t size { 0 };
    std::uint32_t offset { 0 };
};

/// A segment's name, VM address and VM size.
struct EMBMachOSegmentInfo {
    std::string segname;
    std::uint64_t vmaddr { 0 };
    std::uint64_t vmsize { 0 };
};

/// A Mach-O file mapped read-only; unmapped and closed when it goes away.
class EMBMachOFile {
public:
    /// The file at `path`: nullopt unless it is a regular file of at least 16 bytes that can be mapped.
    static std::optional<EMBMachOFile> initWithPath(const std::filesystem::path& path);
    /// The running executable's file, as initWithPath().
    static std::optional<EMBMachOFile> initWithCurrent();

    EMBMachOFile(EMBMachOFile&& other) noexcept;
    EMBMachOFile& operator=(EMBMachOFile&& other) noexcept;
    ~EMBMachOFile();

    /// The whole mapping.
    std::span<const std::uint8_t> bytes() const { return { m_mapping, m_size }; }
    /// The file's slices (see EMBMachOEnumerateSlicesAtAddress()).
    std::vector<EMBMachOSlice> slices() const;
    /// The slice whose architecture name is `name`, or nullopt.
    std::optional<EMBMachOSlice> sliceWithArchitectureName(std::string_view name) const;

private:
    EMBMachOFile(int descriptor, const std::uint8_t* mapping, std::size_t size);

    int m_descriptor { -1 };
    const std::uint8_t* m_mapping { nullptr };
    std::size_t m_size { 0 };
};

/// The slices of a Mach-O file's bytes: one per entry of a fat file's table (in its order); for a thin file,
/// one slice with the header's CPU type, or 0 and 0 when the bytes are no Mach-O image. Fat entries that
/// point outside the bytes are left out.
std::vector<EMBMachOSlice> EMBMachOEnumerateSlicesAtAddress(std::span<const std::uint8_t> bytes);

/// "arm64", "arm64e", "armv7", "armv7s", "armv7k", "armv6", "x86_64", "x86_64h", "i386", or "unknown".
std::string EMBMachOSliceGetArchitectureName(const EMBMachOSlice& slice);

/// Whether the CPU type carries the 64-bit ABI flag.
bool EMBMachOSliceIs64Bit(const EMBMachOSlice& slice);

/// Calls `block` with each load command of the slice's header (command, size, the command's bytes), stepping
/// by the command size, and stores the header's CPU type in the slice. Nothing for a header of another
/// magic; the walk stops at a command that does not fit.
void EMBMachOSliceEnumerateLoadCommands(EMBMachOSlice& slice,
    const std::function<void(std::uint32_t command, std::uint32_t size, std::span<const std::uint8_t> bytes)>&
        block);

/// The section `section` of segment `segment`, or nullopt.
std::optional<EMBMachOSection> EMBMachOSliceInitSectionByName(
    EMBMachOSlice& slice, std::string_view segment, std::string_view section);

/// The section's bytes in the slice (from its file offset), or nullopt when it has none or they lie outside.
std::optional<std::span<const std::uint8_t>> EMBMachOSliceGetSectionByName(
    EMBMachOSlice& slice, std::string_view segment, std::string_view section);

/// The 16 bytes of a UUID command (27), or nullopt for another command.
std::optional<std::array<std::uint8_t, 16>> EMBMachOGetUUID(std::span<const std::uint8_t> command);
/// The path of a dylib command, or nullopt.
std::optional<std::string> EMBMachOGetDylibPath(std::span<const std::uint8_t> command);
/// Whether an encryption-info command's crypt identifier is not 0.
bool EMBMachOGetEncrypted(std::span<const std::uint8_t> command);
/// The version and the SDK of a version-minimum command (36 for macOS, 37 for iOS, 47 tvOS, 48 watchOS),
/// each as major = v >> 16, minor = (v >> 8) & 255, patch = v & 255; all zero for another command.
platform::foundation::VersionTriple EMBMachOGetMinimumOSVersion(std::span<const std::uint8_t> command);
platform::foundation::VersionTriple EMBMachOGetLinkedSDKVersion(std::span<const std::uint8_t> command);
/// The segment of a 64-bit (25) or 32-bit (1) segment command; all zero for another command.
EMBMachOSegmentInfo EMBMachOGetSegmentCommand(std::span<const std::uint8_t> command);

/// 16 UUID bytes as 32 lower-case hex digits.
std::string EMBMachONormalizeUUID(const std::array<std::uint8_t, 16>& bytes);
/// "major.minor.patch", or nullopt without a version.
std::optional<std::string> EMBMachOFormatVersion(const platform::foundation::VersionTriple* version);

/// The load command numbers the readers above know.
inline constexpr std::uint32_t kEMBMachOSegment { 0x1 };
inline constexpr std::uint32_t kEMBMachOSegment64 { 0x19 };
inline constexpr std::uint32_t kEMBMachOUUID { 0x1B };
inline constexpr std::uint32_t kEMBMachOVersionMinMacOS { 0x24 };
inline constexpr std::uint32_t kEMBMachOVersionMinIPhoneOS { 0x25 };

}
