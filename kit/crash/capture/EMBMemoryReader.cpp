#include "kit/crash/capture/EMBMemoryReader.h"

#include "kit/crash/capture/EMBSafeRead.h"

namespace kit {
namespace {

constexpr std::uint64_t kPageSize { 4096 };

// A plain copy the address sanitizer leaves alone: a walk reads whatever a stack holds, poisoned or not.
__attribute__((no_sanitize("address"))) void copyReadable(void* to, std::uint64_t from, std::size_t length)
{
    if (length == 8 && from % 8 == 0) {
        *static_cast<std::uint64_t*>(to) = *reinterpret_cast<const volatile std::uint64_t*>(from);
        return;
    }
    auto* source = reinterpret_cast<const volatile unsigned char*>(from);
    auto* target = static_cast<unsigned char*>(to);
    for (std::size_t i = 0; i < length; ++i)
        target[i] = source[i];
}

}

bool EMBSafeMemoryReader::read(std::uint64_t address, void* buffer, std::size_t length) const
{
    std::uint64_t page = address / kPageSize;
    bool onePage = length > 0 && address + length > address && (address + length - 1) / kPageSize == page;
    if (onePage && isRemembered(page)) {
        copyReadable(buffer, address, length);
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
    if (m_pages[m_next] == m_lastPage)
        m_lastPage = 0;
    m_pages[m_next] = page;
    m_next = (m_next + 1) % kRememberedPages;
}

}
