#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::foundation {

/// Gathers the huge-page frames (2 MiB, aligned) that a large structure of small objects lies in, and asks
/// the kernel to back them with huge pages.
///
/// A walk over tens of megabytes of small records, such as a folder of thousands of invoices, reads a few
/// bytes from each record. With 4 KiB pages nearly every record then costs a page-table walk, since the
/// processor's translation cache holds far fewer pages than the records fill; with 2 MiB pages a dozen
/// translations cover them all. Asking is best effort: a frame the kernel will not back with a huge page
/// (none free, huge pages switched off, a frame not wholly mapped) stays as it is, and nothing read or
/// written changes either way.
class HugePageFrames {
public:
    /// The size of one frame.
    static constexpr std::size_t kFrameSize { std::size_t { 1 } << 21 };

    /// Notes that `address` holds part of the structure. Cheap for addresses in the frame noted last, as
    /// the objects of one structure made in turn mostly are.
    void note(const void* address);
    /// Asks the kernel to back each noted frame with one huge page now, and forgets them. Returns how many
    /// it did.
    std::size_t collapse();

private:
    std::vector<std::uintptr_t> m_frames;
};

}
