#include "kit/crash/capture/tests/LoadedImageTables.h"

#include <climits>
#include <link.h>
#include <unistd.h>

namespace kit::testing {
namespace {

struct Search {
    std::string suffix;
    std::uint64_t pc { 0 };
    bool byPc { false };
    LoadedImageTables found;
    bool done { false };
};

int visit(dl_phdr_info* info, std::size_t, void* data)
{
    auto* search = static_cast<Search*>(data);
    std::string name = info->dlpi_name ? info->dlpi_name : "";
    const ElfW(Phdr)* header = nullptr;
    bool holdsPc = false;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const auto& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_GNU_EH_FRAME)
            header = &segment;
        std::uint64_t start = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && search->pc >= start && search->pc < start + segment.p_memsz)
            holdsPc = true;
    }
    bool match = search->byPc
        ? holdsPc
        : (search->suffix.empty() ? name.empty()
                                  : name.size() >= search->suffix.size()
                    && name.compare(name.size() - search->suffix.size(), std::string::npos, search->suffix)
                        == 0);
    if (!match || header == nullptr)
        return 0;
    std::uint64_t hdr = info->dlpi_addr + header->p_vaddr;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const auto& segment = info->dlpi_phdr[i];
        std::uint64_t start = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && hdr >= start && hdr < start + segment.p_memsz)
            search->found.image.section = { start, start + segment.p_memsz };
    }
    search->found.image.ehFrameHeader = hdr;
    search->found.base = info->dlpi_addr;
    search->found.path = name;
    if (name.empty()) {
        char self[PATH_MAX] {};
        if (readlink("/proc/self/exe", self, sizeof self - 1) > 0)
            search->found.path = self;
    }
    search->done = true;
    return 1;
}

}

LoadedImageTables loadedImageTables(const std::string& suffix)
{
    Search search;
    search.suffix = suffix;
    dl_iterate_phdr(visit, &search);
    return search.found;
}

bool lookupLoadedImage(std::uint64_t pc, EMBDwarfImage* image)
{
    Search search;
    search.pc = pc;
    search.byPc = true;
    dl_iterate_phdr(visit, &search);
    *image = search.found.image;
    return search.done;
}

}
