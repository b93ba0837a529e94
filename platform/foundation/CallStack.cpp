#include "platform/foundation/CallStack.h"

#include <pthread.h>

namespace platform::foundation {

__attribute__((noinline)) std::vector<std::uintptr_t> callStackReturnAddresses(std::size_t limit)
{
    std::uintptr_t low = 0;
    std::uintptr_t high = 0;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        void* start = nullptr;
        std::size_t size = 0;
        if (pthread_attr_getstack(&attributes, &start, &size) == 0) {
            low = reinterpret_cast<std::uintptr_t>(start);
            high = low + size;
        }
        pthread_attr_destroy(&attributes);
    }
    std::vector<std::uintptr_t> addresses;
    auto frame = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    while (addresses.size() < limit && frame >= low && frame + 2 * sizeof(std::uintptr_t) <= high
        && frame % sizeof(std::uintptr_t) == 0) {
        auto* words = reinterpret_cast<const std::uintptr_t*>(frame);
        std::uintptr_t caller = words[0];
        std::uintptr_t returnAddress = words[1];
        if (returnAddress == 0)
            break;
        addresses.push_back(returnAddress);
        if (caller <= frame)
            break;
        frame = caller;
    }
    return addresses;
}

}
