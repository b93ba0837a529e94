#include "platform/foundation/HugePages.h"

#include <algorithm>

#include <sys/mman.h>

namespace platform::foundation {

namespace {

// Synchronous collapse into huge pages (Linux 6.1), whatever the system's setting for transparent huge pages
// short of "never". The C library's <sys/mman.h> here does not name it yet.
#ifdef MADV_COLLAPSE
constexpr int kCollapse = MADV_COLLAPSE;
#else
constexpr int kCollapse = 25;
#endif

}

void HugePageFrames::note(const void* address)
{
    auto frame = reinterpret_cast<std::uintptr_t>(address) & ~(kFrameSize - 1);
    if (m_frames.empty() || m_frames.back() != frame)
        m_frames.push_back(frame);
}

std::size_t HugePageFrames::collapse()
{
    std::sort(m_frames.begin(), m_frames.end());
    m_frames.erase(std::unique(m_frames.begin(), m_frames.end()), m_frames.end());
    std::size_t collapsed = 0;
    for (auto frame : m_frames)
        collapsed += madvise(reinterpret_cast<void*>(frame), kFrameSize, kCollapse) == 0;
    m_frames.clear();
    return collapsed;
}

}
