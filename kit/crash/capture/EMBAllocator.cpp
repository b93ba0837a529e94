#include "kit/crash/capture/EMBAllocator.h"

#include "kit/crash/capture/EMBSDKLog.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace kit {
namespace {

constexpr std::size_t kAlignment { 16 };

std::size_t pageSize()
{
    long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? std::size_t(size) : 4096;
}

void* heapFallback(std::size_t size)
{
    return std::calloc(1, size == 0 ? 1 : size);
}

void* bump(EMBAllocatorRegion& region, std::size_t size)
{
    std::size_t rounded = (size + kAlignment - 1) & ~(kAlignment - 1);
    std::uintptr_t cursor = region.cursor.load(std::memory_order_acquire);
    for (;;) {
        if (rounded > region.start + region.size - cursor)
            return nullptr;
        if (region.cursor.compare_exchange_weak(cursor, cursor + rounded, std::memory_order_acq_rel))
            return reinterpret_cast<void*>(cursor);
    }
}

bool guard(std::uintptr_t page, std::size_t size, const char* failure)
{
    if (mprotect(reinterpret_cast<void*>(page), size, PROT_NONE) == 0)
        return true;
    EMBSDKFileLog(failure, "EMBAllocatorCreate", strerrordesc_np(errno));
    return false;
}

}

EMBAllocator* EMBAllocatorCreate(std::size_t writableSize, std::size_t protectedSize)
{
    std::size_t page = pageSize();
    std::size_t writable = (writableSize / page + 1) * page;
    std::size_t sealed = ((protectedSize + sizeof(EMBAllocator)) / page + 1) * page;
    std::size_t total = 3 * page + writable + sealed;
    // Populated now: what the fault path takes from here (the signal stack above all) is in memory before a
    // crash, rather than a page fault at each first touch.
    void* mapping
        = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (mapping == MAP_FAILED) {
        EMBSDKFileLog("%s: Mapping failed %s\n", __func__, strerrordesc_np(errno));
        return nullptr;
    }
    auto base = reinterpret_cast<std::uintptr_t>(mapping);
    std::uintptr_t writableStart = base + page;
    std::uintptr_t middleGuard = writableStart + writable;
    std::uintptr_t sealedStart = middleGuard + page;
    std::uintptr_t lastGuard = sealedStart + sealed;
    if (!guard(base, page, "%s: First guard protection failed %s\n")
        || !guard(middleGuard, page, "%s: Middle guard protection failed %s\n")
        || !guard(lastGuard, page, "%s: Last guard protection failed %s\n")) {
        munmap(mapping, total);
        return nullptr;
    }
    auto* allocator = new (reinterpret_cast<void*>(sealedStart)) EMBAllocator;
    allocator->mappingStart = mapping;
    allocator->mappingSize = total;
    allocator->writable.size = writable;
    allocator->writable.start = writableStart;
    allocator->writable.cursor = writableStart;
    allocator->protectedRegion.size = sealed;
    allocator->protectedRegion.start = sealedStart;
    allocator->protectedRegion.cursor = sealedStart;
    bump(allocator->protectedRegion, sizeof(EMBAllocator));
    EMBSDKFileLog("%s: Mapping: %p %p %p, total: %zu K\n", __func__, mapping,
        reinterpret_cast<void*>(writableStart), reinterpret_cast<void*>(sealedStart), total / 1024);
    EMBSDKFileLog("%s: Allocator successfully created %p\n", __func__, static_cast<void*>(allocator));
    return allocator;
}

void* EMBAllocatorSafeAllocate(EMBAllocator* allocator, std::size_t size, int kind)
{
    if (kind != int(EMBAllocationKind::Protected) && kind != int(EMBAllocationKind::Writable))
        return nullptr;
    if (allocator == nullptr) {
        EMBSDKFileLog("%s: Allocator invalid, falling back to malloc\n", __func__);
        return heapFallback(size);
    }
    if (allocator->protectedFlag.load(std::memory_order_acquire)) {
        EMBSDKFileLog("%s: Allocator already protected, falling back to malloc\n", __func__);
        return heapFallback(size);
    }
    auto& region = kind == int(EMBAllocationKind::Writable) ? allocator->writable : allocator->protectedRegion;
    void* memory = bump(region, size);
    if (memory == nullptr) {
        EMBSDKFileLog("%s: Unable to allocate sufficient memory, falling back to malloc\n", __func__);
        return heapFallback(size);
    }
    return memory;
}

bool EMBAllocatorProtect(EMBAllocator* allocator)
{
    if (allocator == nullptr) {
        EMBSDKFileLog("%s: Invalid allocator\n", __func__);
        return false;
    }
    if (allocator->protectedFlag.load(std::memory_order_acquire)) {
        EMBSDKFileLog("%s: Write protection already enabled\n", __func__);
        return true;
    }
    allocator->protectedFlag.store(1, std::memory_order_release);
    auto* start = reinterpret_cast<void*>(allocator->protectedRegion.start);
    if (mprotect(start, allocator->protectedRegion.size, PROT_READ) == 0)
        return true;
    EMBSDKFileLog("%s: Unable to protect memory %s\n", __func__, strerrordesc_np(errno));
    allocator->protectedFlag.store(0, std::memory_order_release);
    return false;
}

bool EMBAllocatorUnprotect(EMBAllocator* allocator)
{
    if (allocator == nullptr)
        return false;
    auto* start = reinterpret_cast<void*>(allocator->protectedRegion.start);
    if (mprotect(start, allocator->protectedRegion.size, PROT_READ | PROT_WRITE) != 0) {
        EMBSDKFileLog("%s: Unable to unprotect memory %s\n", __func__, strerrordesc_np(errno));
        return false;
    }
    allocator->protectedFlag.store(0, std::memory_order_release);
    return true;
}

void EMBAllocatorFree(EMBAllocator* allocator, void* pointer)
{
    if (pointer != nullptr && !EMBAllocatorContains(allocator, pointer))
        std::free(pointer);
}

void EMBAllocatorDestroy(EMBAllocator* allocator)
{
    if (allocator == nullptr)
        return;
    munmap(allocator->mappingStart, allocator->mappingSize);
}

bool EMBAllocatorContains(const EMBAllocator* allocator, const void* pointer)
{
    if (allocator == nullptr)
        return false;
    auto address = reinterpret_cast<std::uintptr_t>(pointer);
    auto inside = [address](const EMBAllocatorRegion& region) {
        return address >= region.start && address < region.start + region.size;
    };
    return inside(allocator->writable) || inside(allocator->protectedRegion);
}

}
