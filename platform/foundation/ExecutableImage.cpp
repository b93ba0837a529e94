#include "platform/foundation/ExecutableImage.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <span>

namespace platform::foundation {

namespace {

constexpr std::uint32_t kGnuAbiTag = NT_GNU_ABI_TAG;
constexpr std::uint32_t kGnuBuildId = NT_GNU_BUILD_ID;

std::string architectureName(unsigned machine)
{
    switch (machine) {
    case EM_X86_64:
        return "x86_64";
    case EM_AARCH64:
        return "arm64";
    case EM_386:
        return "i386";
    case EM_ARM:
        return "armv7";
    default:
        return "unknown";
    }
}

std::string hostArchitecture()
{
#if defined(__x86_64__)
    return architectureName(EM_X86_64);
#elif defined(__aarch64__)
    return architectureName(EM_AARCH64);
#elif defined(__i386__)
    return architectureName(EM_386);
#elif defined(__arm__)
    return architectureName(EM_ARM);
#else
    return "unknown";
#endif
}

std::uint32_t readWord(const std::uint8_t* at)
{
    std::uint32_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

std::size_t alignedUp(std::size_t value, std::size_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

// A mapping of a whole file, unmapped and closed when it goes away.
class MappedFile {
public:
    explicit MappedFile(const std::filesystem::path& path)
    {
        m_descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat status { };
        if (m_descriptor < 0 || ::fstat(m_descriptor, &status) != 0 || !S_ISREG(status.st_mode)
            || status.st_size < EI_NIDENT)
            return;
        void* address = ::mmap(
            nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE, m_descriptor, 0);
        if (address == MAP_FAILED)
            return;
        m_bytes = { static_cast<const std::uint8_t*>(address), static_cast<std::size_t>(status.st_size) };
    }
    ~MappedFile()
    {
        if (!m_bytes.empty())
            ::munmap(const_cast<std::uint8_t*>(m_bytes.data()), m_bytes.size());
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::span<const std::uint8_t> bytes() const { return m_bytes; }

private:
    int m_descriptor { -1 };
    std::span<const std::uint8_t> m_bytes;
};

}

// Reads the parts of an image the kits use; a friend of ExecutableImage so that the image stays a plain,
// read-only value.
class ExecutableImageReader {
public:
    // Walks the notes of one note segment or section; false when a note runs past its end.
    static bool readNotes(ExecutableImage& image, std::span<const std::uint8_t> notes, std::size_t alignment)
    {
        alignment = alignment == 8 ? 8 : 4;
        std::size_t offset = 0;
        while (offset + 12 <= notes.size()) {
            std::uint32_t nameSize = readWord(&notes[offset]);
            std::uint32_t descriptionSize = readWord(&notes[offset + 4]);
            std::uint32_t type = readWord(&notes[offset + 8]);
            std::size_t name = offset + 12;
            // Name and description each start on the note's alignment (4, or 8 for 64-bit property notes).
            std::size_t description = alignedUp(name + nameSize, alignment);
            if (nameSize > notes.size() || descriptionSize > notes.size() || description > notes.size()
                || descriptionSize > notes.size() - description)
                return false;
            bool gnu = nameSize == 4 && std::memcmp(&notes[name], "GNU", 4) == 0;
            if (gnu && type == kGnuBuildId && image.m_buildId.empty())
                image.m_buildId.assign(&notes[description], &notes[description] + descriptionSize);
            if (gnu && type == kGnuAbiTag && descriptionSize >= 16) {
                image.m_minimumVersion = VersionTriple { readWord(&notes[description + 4]),
                    readWord(&notes[description + 8]), readWord(&notes[description + 12]) };
            }
            offset = alignedUp(description + descriptionSize, alignment);
        }
        return true;
    }

    template<class Header, class ProgramHeader, class SectionHeader>
    static bool readFile(ExecutableImage& image, std::span<const std::uint8_t> file)
    {
        if (file.size() < sizeof(Header))
            return false;
        Header header;
        std::memcpy(&header, file.data(), sizeof header);
        image.m_architecture = architectureName(header.e_machine);

        bool sawNotes = false;
        if (header.e_phnum > 0) {
            if (header.e_phentsize != sizeof(ProgramHeader) || header.e_phoff > file.size()
                || header.e_phnum > (file.size() - header.e_phoff) / sizeof(ProgramHeader))
                return false;
            for (std::size_t index = 0; index < header.e_phnum; ++index) {
                ProgramHeader segment;
                std::memcpy(&segment, &file[header.e_phoff + index * sizeof segment], sizeof segment);
                if (segment.p_type != PT_NOTE)
                    continue;
                if (segment.p_offset > file.size() || segment.p_filesz > file.size() - segment.p_offset
                    || !readNotes(image, file.subspan(segment.p_offset, segment.p_filesz), segment.p_align))
                    return false;
                sawNotes = true;
            }
        }
        if (sawNotes || header.e_shnum == 0)
            return true;
        // An object without note segments (a relocatable file) still has note sections.
        if (header.e_shentsize != sizeof(SectionHeader) || header.e_shoff > file.size()
            || header.e_shnum > (file.size() - header.e_shoff) / sizeof(SectionHeader))
            return false;
        for (std::size_t index = 0; index < header.e_shnum; ++index) {
            SectionHeader section;
            std::memcpy(&section, &file[header.e_shoff + index * sizeof section], sizeof section);
            if (section.sh_type != SHT_NOTE)
                continue;
            if (section.sh_offset > file.size() || section.sh_size > file.size() - section.sh_offset
                || !readNotes(image, file.subspan(section.sh_offset, section.sh_size), section.sh_addralign))
                return false;
        }
        return true;
    }

    static ExecutableImage readLoaded(const dl_phdr_info& info)
    {
        ExecutableImage image;
        image.m_path = info.dlpi_name ? info.dlpi_name : "";
        image.m_architecture = hostArchitecture();
        constexpr auto kNone = std::numeric_limits<ElfW(Addr)>::max();
        ElfW(Addr) lowest = kNone;
        ElfW(Addr) codeEnd = 0;
        for (std::size_t index = 0; index < info.dlpi_phnum; ++index) {
            const ElfW(Phdr)& segment = info.dlpi_phdr[index];
            if (segment.p_type == PT_LOAD) {
                lowest = std::min(lowest, segment.p_vaddr);
                if (segment.p_flags & PF_X)
                    codeEnd = std::max(codeEnd, segment.p_vaddr + segment.p_memsz);
            } else if (segment.p_type == PT_NOTE) {
                const auto* notes = reinterpret_cast<const std::uint8_t*>(info.dlpi_addr + segment.p_vaddr);
                readNotes(image, { notes, segment.p_memsz }, segment.p_align);
            } else if (segment.p_type == PT_GNU_EH_FRAME) {
                image.m_ehFrameHeader = info.dlpi_addr + segment.p_vaddr;
            }
        }
        if (lowest != kNone) {
            image.m_loadAddress = info.dlpi_addr + lowest;
            image.m_textSize = codeEnd > lowest ? codeEnd - lowest : 0;
        }
        return image;
    }

    static void markAsProgram(ExecutableImage& image)
    {
        std::error_code error;
        auto resolved = std::filesystem::read_symlink("/proc/self/exe", error);
        if (!error)
            image.m_path = resolved;
        image.m_builtVersion = VersionTriple { __GLIBC__, __GLIBC_MINOR__, 0 };
    }
};

std::string VersionTriple::string() const
{
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

std::optional<ExecutableImage> ExecutableImage::current()
{
    std::optional<ExecutableImage> program;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* context) {
            // The loader reports the program first.
            *static_cast<std::optional<ExecutableImage>*>(context) = ExecutableImageReader::readLoaded(*info);
            return 1;
        },
        &program);
    if (program)
        ExecutableImageReader::markAsProgram(*program);
    return program;
}

std::vector<ExecutableImage> ExecutableImage::loadedImages()
{
    std::vector<ExecutableImage> images;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* context) {
            static_cast<std::vector<ExecutableImage>*>(context)->push_back(
                ExecutableImageReader::readLoaded(*info));
            return 0;
        },
        &images);
    if (!images.empty())
        ExecutableImageReader::markAsProgram(images.front());
    return images;
}

std::optional<ExecutableImage> ExecutableImage::open(const std::filesystem::path& path)
{
    MappedFile mapped(path);
    auto file = mapped.bytes();
    if (file.size() < EI_NIDENT || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0
        || file[EI_DATA] != ELFDATA2LSB)
        return std::nullopt;
    ExecutableImage image;
    image.m_path = path;
    bool read = false;
    if (file[EI_CLASS] == ELFCLASS64)
        read = ExecutableImageReader::readFile<Elf64_Ehdr, Elf64_Phdr, Elf64_Shdr>(image, file);
    else if (file[EI_CLASS] == ELFCLASS32)
        read = ExecutableImageReader::readFile<Elf32_Ehdr, Elf32_Phdr, Elf32_Shdr>(image, file);
    if (!read)
        return std::nullopt;
    return image;
}

std::optional<std::array<std::uint8_t, 16>> ExecutableImage::uuid() const
{
    if (m_buildId.empty())
        return std::nullopt;
    std::array<std::uint8_t, 16> bytes {};
    std::copy_n(m_buildId.begin(), std::min(m_buildId.size(), bytes.size()), bytes.begin());
    return bytes;
}

std::optional<std::string> ExecutableImage::uuidString() const
{
    auto bytes = uuid();
    if (!bytes)
        return std::nullopt;
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(32);
    for (auto byte : *bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

}
