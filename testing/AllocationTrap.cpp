#include "testing/AllocationTrap.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizers' runtime calls these on every allocation and release (GCC ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*onMalloc)(const volatile void*, std::size_t), void (*onFree)(const volatile void*));
#endif

namespace testing {
namespace {

// Per thread: the thread that crashes must not allocate; the others may go on as they please.
thread_local bool g_armed { false };

[[noreturn]] void trap(const char* call)
{
    const char prefix[] = "allocation trap: ";
    (void)!write(STDERR_FILENO, prefix, sizeof prefix - 1);
    (void)!write(STDERR_FILENO, call, std::strlen(call));
    (void)!write(STDERR_FILENO, "\n", 1);
    g_armed = false;
    abort();
}

#if defined(__SANITIZE_ADDRESS__)
void onMalloc(const volatile void*, std::size_t)
{
    if (g_armed)
        trap("malloc");
}

void onFree(const volatile void*)
{
    if (g_armed)
        trap("free");
}

void installHooks()
{
    static bool installed = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
    (void)installed;
}
#else
void installHooks()
{
}
#endif

}

void AllocationTrap::arm()
{
    installHooks();
    g_armed = true;
}

void AllocationTrap::disarm()
{
    g_armed = false;
}

bool AllocationTrap::armed()
{
    return g_armed;
}

}

#if !defined(__SANITIZE_ADDRESS__)
// Without the sanitizers the trap stands in front of the C library's allocator.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);

void* malloc(std::size_t size)
{
    if (testing::g_armed)
        testing::trap("malloc");
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size)
{
    if (testing::g_armed)
        testing::trap("calloc");
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, std::size_t size)
{
    if (testing::g_armed)
        testing::trap("realloc");
    return __libc_realloc(pointer, size);
}

void free(void* pointer)
{
    if (pointer != nullptr && testing::g_armed)
        testing::trap("free");
    __libc_free(pointer);
}
}
#endif
