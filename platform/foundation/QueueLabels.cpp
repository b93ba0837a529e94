#include "platform/foundation/QueueLabels.h"

#include <atomic>
#include <cstddef>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform::foundation {
namespace {

struct Entry {
    std::atomic<pid_t> tid { 0 };
    std::atomic<const char*> label { nullptr };
};

constexpr std::size_t kEntries { 512 };
Entry g_entries[kEntries];

pid_t currentThread()
{
    return pid_t(syscall(SYS_gettid));
}

}

void QueueLabels::enter(const char* label)
{
    pid_t self = currentThread();
    for (auto& entry : g_entries) {
        pid_t free = 0;
        if (entry.tid.compare_exchange_strong(free, self)) {
            entry.label.store(label);
            return;
        }
    }
}

void QueueLabels::leave()
{
    pid_t self = currentThread();
    for (auto& entry : g_entries) {
        if (entry.tid.load() == self) {
            entry.label.store(nullptr);
            entry.tid.store(0);
            return;
        }
    }
}

const char* QueueLabels::labelOfThread(pid_t tid)
{
    if (tid <= 0)
        return nullptr;
    for (auto& entry : g_entries) {
        if (entry.tid.load() == tid)
            return entry.label.load();
    }
    return nullptr;
}

}
