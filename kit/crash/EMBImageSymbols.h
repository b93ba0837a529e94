#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kit {

/// The function symbols of one ELF image, read from its file: what the dynamic linker would answer when asked
/// which symbol holds an address, for local functions too. The linker itself knows only the exported
/// symbols, so the image's own ".symtab" is read, and ".dynsym" only when the file was stripped of it.
class EMBImageSymbols {
public:
    /// A symbol as mapped in this process.
    struct Symbol {
        /// The name as the image holds it (mangled).
        std::string name;
        /// The symbol's first byte in this process.
        std::uint64_t start { 0 };
    };

    /// The symbols of the image file at `path`, mapped with its ELF header at `base`. `uuid` is the loaded
    /// image's identity (its build-id's first 16 bytes as lower-case hexadecimal): a file that does not carry
    /// it (replaced on disk since it was loaded) is not read. None when the file cannot be read as ELF.
    static std::optional<EMBImageSymbols> read(
        const std::string& path, std::uint64_t base, const std::string& uuid);

    /// The symbol holding `address`: the nearest function symbol at or below it within the same code section,
    /// so an address in the padding after a function is that function's. None outside every code section or
    /// before its first symbol.
    std::optional<Symbol> symbolForAddress(std::uint64_t address) const;

private:
    struct Entry {
        std::uint64_t value { 0 };
        std::string name;
    };
    struct Section {
        std::uint64_t start { 0 };
        std::uint64_t end { 0 };
        /// By value, one per value.
        std::vector<Entry> entries;
    };

    /// What the image's addresses are moved by in this process.
    std::uint64_t m_slide { 0 };
    std::vector<Section> m_sections;
};

}
