#include "platform/foundation/Log.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace platform::foundation {

namespace {

struct Sink {
    std::mutex mutex;
    std::condition_variable captureEnded;
    std::function<void(const std::string&)> captured;
    // Calls of a capture running now, on every thread.
    int running { 0 };
};

Sink& sink()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* shared = new Sink;
    return *shared;
}

// Calls of a capture running now on this thread (a capture that logs nests them).
thread_local int runningHere { 0 };

}

Log::Log(std::string prefix)
    : m_prefix(std::move(prefix))
{
}

void Log::write(std::string_view message) const
{
    std::string line = m_prefix.empty() ? std::string(message) : m_prefix + " " + std::string(message);
    auto& shared = sink();
    std::unique_lock lock(shared.mutex);
    if (auto captured = shared.captured) {
        // Called outside the lock, so that a capture may itself log or change the capture.
        ++shared.running;
        ++runningHere;
        lock.unlock();
        captured(line);
        lock.lock();
        --runningHere;
        --shared.running;
        shared.captureEnded.notify_all();
        return;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void Log::setCapture(std::function<void(const std::string& line)> captured)
{
    auto& shared = sink();
    std::unique_lock lock(shared.mutex);
    shared.captured = std::move(captured);
    // Whoever replaces a capture may free what it reads as soon as this returns: wait for the calls other
    // threads are still making of it. Those of this thread (a capture changing the capture) go on after.
    shared.captureEnded.wait(lock, [&] { return shared.running == runningHere; });
}

}
