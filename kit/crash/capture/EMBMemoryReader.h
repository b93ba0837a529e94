#pragma once

#include <cstddef>
#include <cstdint>

namespace kit {

/// Where the unwinder reads memory that may not be there: a thread's stack, words an expression dereferences.
/// Implementations answer false for unreadable memory and never raise a signal, allocate or lock.
class EMBMemoryReader {
public:
    virtual ~EMBMemoryReader() = default;

    /// Copies `length` bytes at `address` into `buffer`; false when any of them cannot be read.
    virtual bool read(std::uint64_t address, void* buffer, std::size_t length) const = 0;

    /// The 64-bit word at `address`.
    bool readWord(std::uint64_t address, std::uint64_t* word) const
    {
        return read(address, word, sizeof *word);
    }
};

/// Reads this process's memory through the kernel's checked copy (EMBReadMemory). A page that was read
/// whole once is remembered and read directly from then on, so that walking one stack costs a system call
/// per page rather than per word: use one reader per walk, while the pages it reads stay mapped (a crashed
/// thread's stack, with the other threads stopped).
class EMBSafeMemoryReader final : public EMBMemoryReader {
public:
    bool read(std::uint64_t address, void* buffer, std::size_t length) const override;

private:
    static constexpr std::size_t kRememberedPages { 16 };

    bool isRemembered(std::uint64_t page) const;
    void remember(std::uint64_t page) const;

    mutable std::uint64_t m_pages[kRememberedPages] {};
    mutable std::size_t m_next { 0 };
    /// The page found last, looked at first: a frame's words mostly share one.
    mutable std::uint64_t m_lastPage { 0 };
};

}
