#pragma once

#include "platform/foundation/Value.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform::foundation {

/// A version as major.minor.patch.
struct VersionTriple {
    std::uint32_t major { 0 };
    std::uint32_t minor { 0 };
    std::uint32_t patch { 0 };

    /// "major.minor.patch".
    std::string string() const;

    bool operator==(const VersionTriple&) const = default;
};

/// What the kits need to know of an ELF image (the running program, a shared library loaded into it,
/// or a file on disk): its architecture, its identity and the versions it was built for and against.
///
/// The identity is the GNU build-id note (the project links with --build-id). Its first 16 bytes serve
/// as the image's UUID wherever a report names images by UUID; a shorter build-id is padded with zeros.
/// Reading never throws: an image that cannot be read is nullopt.
class ExecutableImage {
public:
    /// The running program, read from its loaded headers (no file is opened).
    static std::optional<ExecutableImage> current();

    /// Every image loaded into the process now, the program first, in the dynamic loader's order.
    static std::vector<ExecutableImage> loadedImages();

    /// The ELF file at `path`, read through a private mapping. nullopt when it is not a regular file,
    /// is not ELF, or is cut short of the headers and notes it declares.
    static std::optional<ExecutableImage> open(const std::filesystem::path& path);

    /// The image's file: the program's resolved path, a library's path as loaded, or the opened file.
    const std::filesystem::path& path() const { return m_path; }

    /// The architecture name as the kits report it: "x86_64", "arm64", "i386", "armv7" or "unknown".
    const std::string& architecture() const { return m_architecture; }

    /// The whole GNU build-id, empty when the image has none.
    const Bytes& buildId() const { return m_buildId; }

    /// The first 16 bytes of the build-id, or nullopt when the image has none.
    std::optional<std::array<std::uint8_t, 16>> uuid() const;

    /// uuid() as 32 lower-case hexadecimal digits, or nullopt.
    std::optional<std::string> uuidString() const;

    /// The oldest kernel the image runs on, from its GNU ABI-tag note; nullopt without one.
    const std::optional<VersionTriple>& minimumVersion() const { return m_minimumVersion; }

    /// The C library version the image was compiled against: known for the running program only.
    const std::optional<VersionTriple>& builtVersion() const { return m_builtVersion; }

    /// Where a loaded image starts in memory (its first loaded byte); 0 for a file read from disk.
    std::uintptr_t loadAddress() const { return m_loadAddress; }

    /// How far the loaded image's executable code reaches past loadAddress(); 0 for a file.
    std::uint64_t textSize() const { return m_textSize; }

    /// The address of the loaded image's unwind table header (.eh_frame_hdr); 0 when it has none or for
    /// a file.
    std::uintptr_t ehFrameHeader() const { return m_ehFrameHeader; }

private:
    friend class ExecutableImageReader;

    std::filesystem::path m_path;
    std::string m_architecture { "unknown" };
    Bytes m_buildId;
    std::optional<VersionTriple> m_minimumVersion;
    std::optional<VersionTriple> m_builtVersion;
    std::uintptr_t m_loadAddress { 0 };
    std::uint64_t m_textSize { 0 };
    std::uintptr_t m_ehFrameHeader { 0 };
};

}
