#pragma once

#include "platform/foundation/Array.h"
#include "testing/ChildProcess.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace kit::testing {

/// A thread parked three calls deep in a blocking read. Before it blocks it takes, with libunwind, the
/// return addresses of its callers: the same ones a walk must find above the read.
class ParkedThread {
public:
    ParkedThread();
    ~ParkedThread();

    pid_t tid() const { return m_tid; }
    const std::vector<std::uint64_t>& callers() const { return m_callers; }

private:
    void level1();
    void level2();
    void level3();

    int m_pipe[2] { -1, -1 };
    pid_t m_tid { 0 };
    std::vector<std::uint64_t> m_callers;
    std::atomic<bool> m_ready { false };
    std::thread m_thread;
};

/// A record's "stacktrace" as numbers.
std::vector<std::uint64_t> addresses(const platform::foundation::ArrayRef& array);

/// Runs the disabled test `test` as a crash child recording into `recordPath` (see installRecordingHandler).
std::unique_ptr<::testing::ChildProcess> runRecordingChild(
    const std::string& test, const std::filesystem::path& recordPath);

/// In a recording child: a SIGSEGV handler on an alternate stack that stops every other thread and writes
/// the "threads" record into the file the parent named, under the allocation trap; it says "recorded" and
/// then the threads in record order ("tid 1234" lines), and the child dies by the signal. The image
/// registry writes its records into "binary_images.embrecord" beside the record file.
void installRecordingHandler();

/// In a recording child: calls itself `level` times, then writes through a pointer to an inaccessible
/// page: the fault that installRecordingHandler's handler records.
void faultLevel(int level);

}
