#pragma once

#include <cstddef>
#include <cstdint>

namespace kit {

/// Copies `length` bytes at `from` into `to`, word by word where both are aligned, without the address
/// sanitizer's checks: a walk reads whatever a stack holds, poisoned or not. Only for memory known readable.
__attribute__((no_sanitize("address"))) inline void EMBCopyReadableMemory(
    void* to, std::uint64_t from, std::size_t length)
{
    if (from % 8 == 0 && reinterpret_cast<std::uintptr_t>(to) % 8 == 0 && length % 8 == 0) {
        auto* source = reinterpret_cast<const volatile std::uint64_t*>(from);
        auto* target = static_cast<std::uint64_t*>(to);
        for (std::size_t i = 0; i < length / 8; ++i)
            target[i] = source[i];
        return;
    }
    auto* source = reinterpret_cast<const volatile unsigned char*>(from);
    auto* target = static_cast<unsigned char*>(to);
    for (std::size_t i = 0; i < length; ++i)
        target[i] = source[i];
}

/// The word at `address`, known readable, read without the address sanitizer's checks (see above).
__attribute__((no_sanitize("address"))) inline std::uint64_t EMBLoadReadableWord(const std::uint64_t* address)
{
    return *address;
}

/// Where the unwinder reads memory that may not be there: a thread's stack, words an expression dereferences.
/// Readers answer false for unreadable memory and never raise a signal, allocate or lock.
class EMBMemoryReader {
public:
    virtual ~EMBMemoryReader() = default;

    /// Copies `length` bytes at `address` into `buffer`; false when any of them cannot be read. Memory the
    /// reader already knows to be readable is copied on the spot, the rest goes through its check.
    bool read(std::uint64_t address, void* buffer, std::size_t length) const
    {
        if (isKnownReadable(address, length)) {
            EMBCopyReadableMemory(buffer, address, length);
            return true;
        }
        return readUnknown(address, buffer, length);
    }

    /// Where the `length` bytes at `address` can be read (with EMBLoadReadableWord and the like): in place
    /// when the reader already knows them readable, else in `buffer` once copied there; null when they
    /// cannot be read. Spares a copy of memory walked over and over.
    const void* view(std::uint64_t address, void* buffer, std::size_t length) const
    {
        if (isKnownReadable(address, length))
            return reinterpret_cast<const void*>(address);
        return readUnknown(address, buffer, length) ? buffer : nullptr;
    }

    /// The 64-bit word at `address`.
    bool readWord(std::uint64_t address, std::uint64_t* word) const
    {
        return read(address, word, sizeof *word);
    }

    /// Whether the reader already knows the `length` bytes at `address` readable: they may be read in place.
    bool isKnownReadable(std::uint64_t address, std::size_t length) const
    {
        return m_runs[0].holds(address, length) || m_runs[1].holds(address, length);
    }

    /// The run of memory known readable that holds `address`, as [`*start`, `*end`); false when none does.
    /// What lies in it stays readable while the reader is used: a walk may read it in place with one check
    /// against its bounds.
    bool knownReadableRun(std::uint64_t address, std::uint64_t* start, std::uint64_t* end) const
    {
        for (const Run& run : m_runs) {
            if (run.holds(address, 1)) {
                *start = run.start;
                *end = run.end;
                return true;
            }
        }
        return false;
    }

protected:
    /// Copies memory not known to be readable; false when any of it cannot be read.
    virtual bool readUnknown(std::uint64_t address, void* buffer, std::size_t length) const = 0;

    /// From now on `read` copies whatever lies in [`start`, `end`) directly: the reader vouches that it stays
    /// readable while it is used. The range joins a run of such memory it touches, or starts a run of its own
    /// in place of the run that grew least recently (two are kept: a stack walked is one, or two around a
    /// stretch never read).
    void addKnownReadable(std::uint64_t start, std::uint64_t end) const;
    /// Forgets the run that holds `address`, if any.
    void forgetKnownReadable(std::uint64_t address) const;

private:
    struct Run {
        std::uint64_t start { 0 };
        std::uint64_t end { 0 };

        bool holds(std::uint64_t address, std::size_t length) const
        {
            return address >= start && address < end && length <= end - address;
        }
    };

    mutable Run m_runs[2];
    /// The run that grew last.
    mutable std::size_t m_latest { 0 };
};

/// Reads this process's memory through the kernel's checked copy (EMBReadMemory). A page that was read from
/// once is remembered and read directly from then on (the pages next to one another that were read last,
/// such as the part of a stack walked so far, without even a look-up), so that walking one stack costs a
/// system call per page rather than per word: use one reader per walk, while the pages it reads stay mapped
/// (a crashed thread's stack, with the other threads stopped).
class EMBSafeMemoryReader final : public EMBMemoryReader {
protected:
    bool readUnknown(std::uint64_t address, void* buffer, std::size_t length) const override;

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
