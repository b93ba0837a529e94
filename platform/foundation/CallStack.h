#pragma once

#include <cstdint>
#include <vector>

namespace platform::foundation {

/// The return addresses of the calling thread's callers, innermost first, from its chain of frame
/// pointers. The walk stays inside the thread's stack and ends where the chain does (code built without
/// frame pointers ends it early). At most `limit` addresses.
std::vector<std::uintptr_t> callStackReturnAddresses(std::size_t limit = 128);

}
