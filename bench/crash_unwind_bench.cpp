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
#include <ucontext.h>

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

kit::EMBThreadContext captureHere()
{
    ucontext_t context;
    getcontext(&context);
    const greg_t* gregs = context.uc_mcontext.gregs;
    kit::EMBThreadContext registers;
    int order[] { REG_RAX, REG_RDX, REG_RCX, REG_RBX, REG_RSI, REG_RDI, REG_RBP, REG_RSP };
    for (int i = 0; i < 8; ++i)
        registers.registers[i] = std::uint64_t(gregs[order[i]]);
    for (int i = 0; i < 8; ++i)
        registers.registers[8 + i] = std::uint64_t(gregs[REG_R8 + i]);
    registers.registers[16] = std::uint64_t(gregs[REG_RIP]);
    return registers;
}

void ourWalk(benchmark::State& state)
{
    std::int64_t frames = 0;
    kit::EMBSafeMemoryReader reader;
    for (auto _ : state) {
        kit::EMBDwarfFrame frame;
        frame.context = captureHere();
        frame.pcIsReturnAddress = true;
        std::int64_t count = 1;
        while (count < 256
            && kit::EMBDwarfUnwindFrame(
                kit::EMBBinaryImageDwarfLookup, &reader, &frame, kit::EMBBinaryImageRuleCache()))
            ++count;
        frames += count;
        benchmark::DoNotOptimize(frame);
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
