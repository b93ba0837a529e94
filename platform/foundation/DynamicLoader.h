#pragma once

#include <cstdint>
#include <link.h>

namespace platform::foundation {

/// An image the dynamic loader has mapped: the program or a shared library.
struct LoadedImage {
    /// Where the image's ELF header is mapped.
    const ElfW(Ehdr) * header { nullptr };
    /// What the image's addresses are moved by (dl_iterate_phdr's dlpi_addr).
    std::uintptr_t slide { 0 };
    /// The image's path as the loader knows it ("" for the program itself).
    const char* path { "" };
    /// The image's program headers (none once the image is removed).
    const ElfW(Phdr) * programHeaders { nullptr };
    int programHeaderCount { 0 };
};

/// Tells of images as the dynamic loader maps and unmaps them. The loader has
/// no such notifications, so dlopen and dlclose are interposed (forwarding to
/// the C library's) and the loader's list is scanned again whenever its load or
/// unload count moved.
class DynamicLoader {
public:
    using Callback = void (*)(const LoadedImage& image);

    /// Registers the callbacks (one pair per process; later calls replace it) and
    /// calls `added` at once for every image loaded now, the program first.
    /// Callbacks run on the thread that loaded or unloaded.
    static void setImageCallbacks(Callback added, Callback removed);
    /// Drops the callbacks.
    static void clearImageCallbacks();

    /// Compares the loader's list with the images reported so far and reports the
    /// difference. dlopen and dlclose call it; call it after loading through
    /// other means.
    static void rescan();
};

}
