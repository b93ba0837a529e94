#pragma once

#include <cstddef>
#include <new>

namespace platform::foundation {

/// The size of the processor's cache line, the unit in which memory is read.
inline constexpr std::size_t kCacheLineSize { 64 };

/// Allocates on cache-line boundaries. A container's shared block (its share count beside its header) is
/// smaller than a line; placed at any 16-byte boundary, it often lies across two lines, and a walk over
/// thousands of records then waits for twice the memory it reads.
template<class T> struct CacheLineAllocator {
    using value_type = T;

    CacheLineAllocator() = default;
    template<class U> CacheLineAllocator(const CacheLineAllocator<U>&) { }

    /// Room for `count` objects, starting on a line.
    T* allocate(std::size_t count)
    {
        return static_cast<T*>(::operator new(count * sizeof(T), std::align_val_t { kCacheLineSize }));
    }
    /// Gives back room from allocate().
    void deallocate(T* objects, std::size_t) { ::operator delete(objects, std::align_val_t { kCacheLineSize }); }

    template<class U> bool operator==(const CacheLineAllocator<U>&) const { return true; }
};

}
