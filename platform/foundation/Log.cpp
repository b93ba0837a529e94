#include "platform/foundation/Log.h"

#include <cstdio>
#include <mutex>

namespace platform::foundation {

namespace {

struct Sink {
    std::mutex mutex;
    std::function<void(const std::string&)> captured;
};

Sink& sink()
{
    static Sink shared;
    return shared;
}

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
        // Called outside the lock, so that a capture may itself log.
        lock.unlock();
        captured(line);
        return;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void Log::setCapture(std::function<void(const std::string& line)> captured)
{
    auto& shared = sink();
    std::lock_guard lock(shared.mutex);
    shared.captured = std::move(captured);
}

}
