// Cost per frame of walking a crashed thread's stack from its call-frame information: a stack 64 calls
// deep in our own code with the C library's qsort on top (built without frame pointers, so only the
// tables unwind it), walked by the crash-time unwinder and by libunwind's unw_backtrace, both warm.
// The goal: ours costs no more per frame than libunwind's.

#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBMemoryReader.h"

#include <benchmark/benchmark.h>

#define UNW_LOCAL_ONLY
#include <libunwind.h>

#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kDepth = 64;

void (*g_walk)(benchmark::State&) = nullptr;
benchmark::State* g_state = nullptr;

int compare(const void* a, const void* b)
{
    if (g_walk != nullptr) {
        auto* walk = g_walk;
        g_walk = nullptr;
        walk(*g_state);
    }
    return *static_cast<const int*>(a) - *static_cast<const int*>(b);
}

__attribute__((noinline)) int descend(int depth)
{
    if (depth == 0) {
        int values[2] { 2, 1 };
        std::qsort(values, 2, sizeof(int), compare);
        return values[0];
    }
    int below = descend(depth - 1);
    benchmark::DoNotOptimize(below);
    return below + 1;
}

void runAtTheBottom(benchmark::State& state, void (*walk)(benchmark::State&))
{
    g_state = &state;
    g_walk = walk;
    descend(kDepth);
}

// The registers a walk needs, in DWARF's numbering, as they are at this point of the calling function: no
// system call, as getcontext makes for the signal mask.
__attribute__((always_inline)) inline void captureHere(kit::EMBThreadContext* context)
{
    asm volatile("movq %%rbx, 24(%0)\n\t"
                 "movq %%rbp, 48(%0)\n\t"
                 "movq %%rsp, 56(%0)\n\t"
                 "movq %%r12, 96(%0)\n\t"
                 "movq %%r13, 104(%0)\n\t"
                 "movq %%r14, 112(%0)\n\t"
                 "movq %%r15, 120(%0)\n\t"
                 "leaq 0(%%rip), %%rax\n\t"
                 "movq %%rax, 128(%0)"
                 :
                 : "r"(context->registers)
                 : "rax", "memory");
}

void ourWalk(benchmark::State& state)
{
    std::int64_t frames = 0;
    kit::EMBSafeMemoryReader reader;
    kit::EMBDwarfRuleCache* cache = kit::EMBBinaryImageRuleCache();
    std::uint64_t pcs[256];
    std::uint64_t sps[256];
    for (auto _ : state) {
        kit::EMBDwarfFrame frame;
        captureHere(&frame.context);
        frame.pcIsReturnAddress = true;
        pcs[0] = frame.context.registers[kit::kEMBDwarfRegisterRIP];
        std::uint32_t count = 1;
        // Callers in one go as far as the cached rows reach, one by one through the tables where they end.
        while (count < 256 && !frame.outermost) {
            std::uint32_t reached = kit::EMBDwarfUnwindCachedFrames(
                *cache, &reader, &frame, pcs + count, sps + count, 256 - count);
            if (reached == 0) {
                if (!kit::EMBDwarfUnwindFrame(kit::EMBBinaryImageDwarfLookup, &reader, &frame, cache))
                    break;
                pcs[count] = frame.context.registers[kit::kEMBDwarfRegisterRIP];
                reached = 1;
            }
            count += reached;
        }
        frames += count;
        benchmark::DoNotOptimize(pcs);
    }
    state.SetItemsProcessed(frames);
    state.counters["frames"] = double(frames) / double(state.iterations());
}

void libunwindWalk(benchmark::State& state)
{
    std::int64_t frames = 0;
    void* addresses[256];
    for (auto _ : state) {
        int count = unw_backtrace(addresses, 256);
        frames += count;
        benchmark::DoNotOptimize(addresses);
    }
    state.SetItemsProcessed(frames);
    state.counters["frames"] = double(frames) / double(state.iterations());
}

void OurUnwinder(benchmark::State& state)
{
    static bool initialized = [] {
        auto path = std::filesystem::temp_directory_path() / "crash_unwind_bench.embrecord";
        kit::EMBBinaryImageInit(path.c_str());
        return true;
    }();
    benchmark::DoNotOptimize(initialized);
    runAtTheBottom(state, ourWalk);
}

void Libunwind(benchmark::State& state)
{
    runAtTheBottom(state, libunwindWalk);
}

}

BENCHMARK(OurUnwinder);
BENCHMARK(Libunwind);
