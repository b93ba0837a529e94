#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace kit {

/// One region of the crash allocator: a bump cursor over [start, start + size).
struct EMBAllocatorRegion {
    std::size_t size { 0 };
    std::uintptr_t start { 0 };
    std::atomic<std::uintptr_t> cursor { 0 };
};

/// Memory reserved at start for the crash context: one mapping laid out as guard page, writable region,
/// guard page, protected region, guard page. The protected region is made read-only once set-up is over,
/// so that a stray write cannot corrupt what the fault path relies on. The record itself is the first
/// allocation of the protected region.
struct EMBAllocator {
    void* mappingStart { nullptr };
    std::atomic<std::uint8_t> protectedFlag { 0 };
    EMBAllocatorRegion writable;
    EMBAllocatorRegion protectedRegion;
    /// Bytes of the whole mapping, guard pages included.
    std::size_t mappingSize { 0 };
};

/// Where an allocation is taken from.
enum class EMBAllocationKind : int { Protected = 0, Writable = 1 };

/// Maps the regions, each rounded up to whole pages with room to spare; none when the mapping or a guard
/// page cannot be set up (logged to the SDK log).
EMBAllocator* EMBAllocatorCreate(std::size_t writableSize, std::size_t protectedSize);

/// `size` bytes, 16-byte aligned, zeroed, from the region of `kind` by a lock-free bump of its cursor. When
/// the region is full, once it is protected, or without an allocator, the memory comes from the heap
/// instead (and is released by EMBAllocatorFree). None for any other kind.
void* EMBAllocatorSafeAllocate(EMBAllocator* allocator, std::size_t size, int kind);

/// Makes the protected region read-only. Fails without an allocator; succeeds at once when already done.
bool EMBAllocatorProtect(EMBAllocator* allocator);
/// Makes the protected region writable again.
bool EMBAllocatorUnprotect(EMBAllocator* allocator);
/// Releases `pointer` when it came from the heap; memory of the regions stays until the allocator goes.
void EMBAllocatorFree(EMBAllocator* allocator, void* pointer);
/// Unmaps everything; nothing taken from the allocator may be used afterwards.
void EMBAllocatorDestroy(EMBAllocator* allocator);

/// Whether `pointer` lies in one of the allocator's regions.
bool EMBAllocatorContains(const EMBAllocator* allocator, const void* pointer);

}
