#include "platform/foundation/DynamicLoader.h"

#include <algorithm>
#include <dlfcn.h>
#include <mutex>
#include <string>
#include <vector>

namespace platform::foundation {
namespace {

struct Known {
    LoadedImage image;
    std::string path;
};

struct State {
    std::recursive_mutex mutex;
    DynamicLoader::Callback added { nullptr };
    DynamicLoader::Callback removed { nullptr };
    std::vector<Known> known;
    unsigned long long adds { ~0ull };
    unsigned long long subs { ~0ull };
};

State& state()
{
    static State* instance = new State;
    return *instance;
}

const ElfW(Ehdr) * elfHeader(const dl_phdr_info* info)
{
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const auto& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD && segment.p_offset == 0)
            return reinterpret_cast<const ElfW(Ehdr)*>(info->dlpi_addr + segment.p_vaddr);
    }
    return nullptr;
}

struct Scan {
    std::vector<LoadedImage> images;
    unsigned long long adds { 0 };
    unsigned long long subs { 0 };
};

int collect(dl_phdr_info* info, std::size_t size, void* data)
{
    auto* scan = static_cast<Scan*>(data);
    if (size >= offsetof(dl_phdr_info, dlpi_subs) + sizeof info->dlpi_subs) {
        scan->adds = info->dlpi_adds;
        scan->subs = info->dlpi_subs;
    }
    if (const auto* header = elfHeader(info)) {
        scan->images.push_back({ header, info->dlpi_addr, info->dlpi_name ? info->dlpi_name : "",
            info->dlpi_phdr, info->dlpi_phnum });
    }
    return 0;
}

// With the state's mutex held: reports what changed since the last scan.
void rescanLocked(State& s, bool force)
{
    Scan scan;
    dl_iterate_phdr(collect, &scan);
    if (!force && scan.adds == s.adds && scan.subs == s.subs)
        return;
    s.adds = scan.adds;
    s.subs = scan.subs;
    std::vector<Known> gone;
    std::erase_if(s.known, [&](const Known& known) {
        bool present = std::any_of(scan.images.begin(), scan.images.end(), [&](const LoadedImage& image) {
            return image.header == known.image.header && known.path == image.path;
        });
        if (!present)
            gone.push_back(known);
        return !present;
    });
    std::vector<LoadedImage> arrived;
    for (const auto& image : scan.images) {
        bool seen = std::any_of(s.known.begin(), s.known.end(), [&](const Known& known) {
            return known.image.header == image.header && known.path == image.path;
        });
        if (!seen) {
            s.known.push_back({ image, image.path });
            arrived.push_back(image);
        }
    }
    for (auto& known : gone) {
        known.image.path = known.path.c_str();
        known.image.programHeaders = nullptr;
        known.image.programHeaderCount = 0;
        if (s.removed)
            s.removed(known.image);
    }
    for (const auto& image : arrived) {
        if (s.added)
            s.added(image);
    }
}

using DlopenFunction = void* (*)(const char*, int);
using DlcloseFunction = int (*)(void*);

}

void DynamicLoader::setImageCallbacks(Callback added, Callback removed)
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.added = added;
    s.removed = removed;
    s.known.clear();
    rescanLocked(s, true);
}

void DynamicLoader::clearImageCallbacks()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.added = nullptr;
    s.removed = nullptr;
    s.known.clear();
}

void DynamicLoader::rescan()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    if (s.added != nullptr || s.removed != nullptr)
        rescanLocked(s, false);
}

}

// The loader's own entry points, interposed so that loads and unloads are told
// at once.
extern "C" {

void* dlopen(const char* path, int mode)
{
    static auto real = reinterpret_cast<platform::foundation::DlopenFunction>(dlsym(RTLD_NEXT, "dlopen"));
    void* handle = real(path, mode);
    if (handle != nullptr)
        platform::foundation::DynamicLoader::rescan();
    return handle;
}

int dlclose(void* handle)
{
    static auto real = reinterpret_cast<platform::foundation::DlcloseFunction>(dlsym(RTLD_NEXT, "dlclose"));
    int result = real(handle);
    if (result == 0)
        platform::foundation::DynamicLoader::rescan();
    return result;
}
}
