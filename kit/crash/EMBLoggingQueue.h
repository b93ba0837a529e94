#pragma once

#include "platform/foundation/DispatchQueue.h"

#include <functional>
#include <mutex>
#include <string>

namespace kit {

/// The crash kit's serial logging queue: every record, compaction and turn of an A/B pair runs on it, one at a
/// time, so no two threads ever write the logging files at once.
///
/// Work is serialised by the queue's turn rather than by one thread. Synchronous work runs on the caller's
/// thread as soon as the turn is the caller's (as a serial queue's synchronous dispatch may), so a recorded
/// line costs a lock, not two thread switches; asynchronous work runs later on the queue's own thread, in the
/// same turn. Synchronous work may therefore run before asynchronous work submitted earlier and still waiting.
class EMBLoggingQueue {
public:
    explicit EMBLoggingQueue(std::string label);

    /// Runs `task` on the calling thread in the queue's turn and returns when it is done; at once when the
    /// caller already runs work of this queue.
    void sync(const std::function<void()>& task);
    /// Runs `task` later on the queue's thread, in the queue's turn.
    void async(std::function<void()> task);
    /// Waits until the asynchronous work submitted so far has run. Not from work of this queue.
    void waitUntilIdle();
    /// Whether the calling thread runs work of this queue.
    bool isCurrent() const;
    const std::string& label() const { return m_thread.label(); }

private:
    void runInTurn(const std::function<void()>& task);

    // Declared before the thread, so that it outlives the work the thread still runs as it ends.
    std::mutex m_turn;
    platform::foundation::DispatchQueue m_thread;
};

}
