// Custom log lines recorded with EMBLog: 80-character messages into a 64 KB log whose two files take turns
// as each fills, so that the run keeps rotating. Each batch of 1,000 lines is timed until the logging queue
// has written them all, in real time (the logging queue's work may run on other threads). The goal: at least
// 100,000 lines a second.

#include "kit/crash/EMBLog.h"
#include "kit/crash/EMBUserLogging.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kBatch = 1000;

void BM_LogLines(benchmark::State& state)
{
    auto directory = fs::temp_directory_path() / ("zorvik-log-bench-" + std::to_string(getpid()));
    fs::create_directories(directory);
    kit::EMBUserLoggingStorages storages;
    kit::EMBUserLoggingWritableState writable;
    kit::EMBUserLoggingLimits limits;
    limits.logBufferSize = 64 * 1024;
    kit::EMBUserLoggingSetUpStorages(&storages, &writable, directory.string(), limits);
    kit::EMBUserLoggingInit(&storages, &writable);
    const std::string message(80, 'x');
    int line = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i)
            kit::EMBLog("%06d %s", ++line, message.c_str() + 7);
        kit::EMBUserLoggingQueue()->waitUntilIdle();
    }
    kit::EMBUserLoggingDeinit();
    fs::remove_all(directory);
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_LogLines)->Unit(benchmark::kMillisecond)->UseRealTime();

}
