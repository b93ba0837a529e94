#include "kit/crash/capture/EMBMemoryReader.h"

#include "kit/crash/capture/EMBSafeRead.h"

#include <iterator>

namespace kit {
namespace {

constexpr std::uint64_t kPageSize { 4096 };

}

bool EMBSafeMemoryReader::readUnknown(std::uint64_t address, void* buffer, std::size_t length) const
{
    if (length == 0 || address + length < address)
        return length == 0;
    // Page by page: a page is readable whole or not at all, so one checked read of it vouches for the rest.
    auto* target = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        std::uint64_t page = address / kPageSize;
        std::size_t piece = std::size_t((page + 1) * kPageSize - address);
        piece = piece < length ? piece : length;
        if (isRemembered(page)) {
            EMBCopyReadableMemory(target, address, piece);
        } else {
            if (!EMBReadMemory(reinterpret_cast<const void*>(address), target, piece))
                return false;
            remember(page);
        }
        addKnownReadable(page * kPageSize, (page + 1) * kPageSize);
        address += piece;
        target += piece;
        length -= piece;
    }
    return true;
}

bool EMBSafeMemoryReader::isRemembered(std::uint64_t page) const
{
    if (page == m_lastPage && page != 0)
        return true;
    for (std::uint64_t remembered : m_pages) {
        if (remembered == page && page != 0) {
            m_lastPage = page;
            return true;
        }
    }
    return false;
}

void EMBSafeMemoryReader::remember(std::uint64_t page) const
{
    if (page == 0)
        return;
    std::uint64_t forgotten = m_pages[m_next];
    if (forgotten == m_lastPage)
        m_lastPage = 0;
    // What is read directly never holds a page no longer remembered.
    if (forgotten != 0)
        forgetKnownReadable(forgotten * kPageSize);
    m_pages[m_next] = page;
    m_next = (m_next + 1) % kRememberedPages;
}

void EMBMemoryReader::addKnownReadable(std::uint64_t start, std::uint64_t end) const
{
    for (std::size_t i = 0; i < std::size(m_runs); ++i) {
        Run& run = m_runs[i];
        bool touches = run.start < run.end && start <= run.end && end >= run.start;
        if (touches) {
            run.start = start < run.start ? start : run.start;
            run.end = end > run.end ? end : run.end;
            m_latest = i;
            return;
        }
    }
    m_latest = (m_latest + 1) % std::size(m_runs);
    m_runs[m_latest] = { start, end };
}

void EMBMemoryReader::forgetKnownReadable(std::uint64_t address) const
{
    for (Run& run : m_runs) {
        if (run.holds(address, 1))
            run = {};
    }
}

}
