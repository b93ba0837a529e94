#include "kit/crash/capture/EMBProfiling.h"

#include <cstdio>
#include <ctime>

namespace kit {

std::uint64_t EMBAbsoluteTime()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint64_t(now.tv_sec) * 1000000000u + std::uint64_t(now.tv_nsec);
}

std::uint64_t EMBProfilingStart()
{
    return EMBAbsoluteTime();
}

double EMBProfileEnd(std::uint64_t mark)
{
    // The clock counts nanoseconds: its time base is 1/1.
    return double(EMBAbsoluteTime() - mark) / 1000000.0;
}

void EMBProfileBlock(const char* label, const std::function<void()>& block)
{
    std::uint64_t mark = EMBProfilingStart();
    block();
    std::fprintf(stderr, "[Profile] %s: %f ms\n", label, EMBProfileEnd(mark));
}

}
