#include "kit/crash/capture/EMBMemoryReader.h"

#include "kit/crash/capture/EMBSafeRead.h"

#include <cstring>

namespace kit {
namespace {

constexpr std::uint64_t kPageSize { 4096 };

}

bool EMBSafeMemoryReader::read(std::uint64_t address, void* buffer, std::size_t length) const
{
    std::uint64_t page = address / kPageSize;
    bool onePage = length > 0 && address + length > address && (address + length - 1) / kPageSize == page;
    if (onePage && isRemembered(page)) {
        std::memcpy(buffer, reinterpret_cast<const void*>(address), length);
        return true;
    }
    // A page is readable whole or not at all: one checked read of it vouches for the rest.
    if (!EMBReadMemory(reinterpret_cast<const void*>(address), buffer, length))
        return false;
    if (onePage)
        remember(page);
    return true;
}

bool EMBSafeMemoryReader::isRemembered(std::uint64_t page) const
{
    for (std::uint64_t remembered : m_pages) {
        if (remembered == page && page != 0)
            return true;
    }
    return false;
}

void EMBSafeMemoryReader::remember(std::uint64_t page) const
{
    m_pages[m_next] = page;
    m_next = (m_next + 1) % kRememberedPages;
}

}
