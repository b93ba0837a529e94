#include "kit/crash/EMBImageSymbols.h"

#include "platform/foundation/ExecutableImage.h"

#include <gelf.h>
#include <libelf.h>

#include <algorithm>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace kit {
namespace {

// An open ELF file, closed when it goes out of scope.
class ElfFile {
public:
    explicit ElfFile(const std::string& path)
        : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        static const bool ready = elf_version(EV_CURRENT) != EV_NONE;
        if (ready && m_fd >= 0)
            m_elf = elf_begin(m_fd, ELF_C_READ_MMAP, nullptr);
        if (m_elf != nullptr && elf_kind(m_elf) != ELF_K_ELF) {
            elf_end(m_elf);
            m_elf = nullptr;
        }
    }
    ~ElfFile()
    {
        if (m_elf != nullptr)
            elf_end(m_elf);
        if (m_fd >= 0)
            close(m_fd);
    }
    ElfFile(const ElfFile&) = delete;
    ElfFile& operator=(const ElfFile&) = delete;

    Elf* elf() const { return m_elf; }

private:
    int m_fd { -1 };
    Elf* m_elf { nullptr };
};

// Where the ELF header lies in the image's own addresses: the start of the segment that maps it.
std::optional<std::uint64_t> headerAddress(Elf* elf)
{
    std::size_t count = 0;
    if (elf_getphdrnum(elf, &count) != 0)
        return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
        GElf_Phdr segment;
        if (gelf_getphdr(elf, int(i), &segment) != nullptr && segment.p_type == PT_LOAD
            && segment.p_offset == 0)
            return segment.p_vaddr;
    }
    return std::nullopt;
}

// The symbol table to read: ".symtab", or ".dynsym" in a stripped file.
Elf_Scn* symbolTable(Elf* elf)
{
    Elf_Scn* dynamic = nullptr;
    for (Elf_Scn* section = elf_nextscn(elf, nullptr); section != nullptr;
         section = elf_nextscn(elf, section)) {
        GElf_Shdr header;
        if (gelf_getshdr(section, &header) == nullptr)
            continue;
        if (header.sh_type == SHT_SYMTAB)
            return section;
        if (header.sh_type == SHT_DYNSYM)
            dynamic = section;
    }
    return dynamic;
}

// Which of several symbols at one address names it: a function before a bare label, then global before
// weak before local.
int preference(const GElf_Sym& symbol)
{
    int type = GELF_ST_TYPE(symbol.st_info) == STT_NOTYPE ? 0 : 4;
    switch (GELF_ST_BIND(symbol.st_info)) {
    case STB_GLOBAL:
        return type + 2;
    case STB_WEAK:
        return type + 1;
    default:
        return type;
    }
}

bool namesCode(const GElf_Sym& symbol)
{
    int type = GELF_ST_TYPE(symbol.st_info);
    return type == STT_FUNC || type == STT_GNU_IFUNC || type == STT_NOTYPE;
}

}

std::optional<EMBImageSymbols> EMBImageSymbols::read(
    const std::string& path, std::uint64_t base, const std::string& uuid)
{
    auto image = platform::foundation::ExecutableImage::open(path);
    if (uuid.empty() || !image || image->uuidString() != uuid)
        return std::nullopt;
    ElfFile file(path);
    Elf* elf = file.elf();
    if (elf == nullptr)
        return std::nullopt;
    auto header = headerAddress(elf);
    Elf_Scn* table = symbolTable(elf);
    if (!header || table == nullptr)
        return std::nullopt;

    EMBImageSymbols symbols;
    symbols.m_slide = base - *header;
    std::map<std::size_t, std::size_t> codeSections;
    for (Elf_Scn* section = elf_nextscn(elf, nullptr); section != nullptr;
         section = elf_nextscn(elf, section)) {
        GElf_Shdr sectionHeader;
        if (gelf_getshdr(section, &sectionHeader) == nullptr
            || (sectionHeader.sh_flags & (SHF_ALLOC | SHF_EXECINSTR)) != (SHF_ALLOC | SHF_EXECINSTR))
            continue;
        codeSections[elf_ndxscn(section)] = symbols.m_sections.size();
        symbols.m_sections.push_back(
            { sectionHeader.sh_addr, sectionHeader.sh_addr + sectionHeader.sh_size, {} });
    }

    GElf_Shdr tableHeader;
    Elf_Data* data = elf_getdata(table, nullptr);
    if (gelf_getshdr(table, &tableHeader) == nullptr || data == nullptr || tableHeader.sh_entsize == 0)
        return std::nullopt;
    std::vector<std::vector<std::pair<Entry, int>>> found(symbols.m_sections.size());
    for (std::size_t i = 0; i < tableHeader.sh_size / tableHeader.sh_entsize; ++i) {
        GElf_Sym symbol;
        if (gelf_getsym(data, int(i), &symbol) == nullptr || !namesCode(symbol))
            continue;
        auto section = codeSections.find(symbol.st_shndx);
        const char* name = elf_strptr(elf, tableHeader.sh_link, symbol.st_name);
        if (section == codeSections.end() || name == nullptr || *name == '\0')
            continue;
        found[section->second].push_back({ Entry { symbol.st_value, name }, preference(symbol) });
    }
    for (std::size_t i = 0; i < found.size(); ++i) {
        auto& candidates = found[i];
        std::stable_sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
            return a.first.value != b.first.value ? a.first.value < b.first.value : a.second > b.second;
        });
        auto& entries = symbols.m_sections[i].entries;
        for (auto& candidate : candidates) {
            if (entries.empty() || entries.back().value != candidate.first.value)
                entries.push_back(std::move(candidate.first));
        }
    }
    return symbols;
}

std::optional<EMBImageSymbols::Symbol> EMBImageSymbols::symbolForAddress(std::uint64_t address) const
{
    std::uint64_t value = address - m_slide;
    for (const Section& section : m_sections) {
        if (value < section.start || value >= section.end)
            continue;
        auto after = std::upper_bound(section.entries.begin(), section.entries.end(), value,
            [](std::uint64_t wanted, const Entry& entry) { return wanted < entry.value; });
        if (after == section.entries.begin())
            return std::nullopt;
        const Entry& entry = *std::prev(after);
        return Symbol { entry.name, entry.value + m_slide };
    }
    return std::nullopt;
}

}
