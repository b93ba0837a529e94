#pragma once

#include <cstddef>
#include <cstdint>

namespace kit {

/// Copies `length` bytes at `address` of this process into `buffer` through the kernel's checked copy
/// (process_vm_readv on the own process, or writing into a pipe where that is refused), so that an unmapped
/// or unreadable address fails with EFAULT instead of a signal. Addresses below 4096 fail at once. On failure
/// the buffer may hold part of the bytes. Allocates nothing: safe in a signal handler, on any thread.
bool EMBReadMemory(const void* address, void* buffer, std::size_t length);

/// EMBReadMemory through a pipe of its own, the way taken when process_vm_readv is refused.
bool EMBReadMemoryThroughPipe(const void* address, void* buffer, std::size_t length);

/// Checks that the text at `address` is readable up to its terminator or `maxLength` bytes, and then gives
/// the address itself through `out`. A zero `maxLength` succeeds at once; an address below 4096 fails.
bool EMBReadString(const char* address, const char** out, std::size_t maxLength);

}
