#pragma once

#include <sys/types.h>

namespace platform::foundation {

/// Which queue each worker thread works for, readable from a signal handler: a fixed table of thread ids and
/// label texts, filled as workers start and emptied as they end.
class QueueLabels {
public:
    /// Notes that the calling thread works for the queue named `label` until leave(). The text must stay
    /// until then. A thread beyond the table's room goes unnoted.
    static void enter(const char* label);
    /// Forgets the calling thread.
    static void leave();
    /// The label of the queue thread `tid` works for, or none. No lock, no heap: safe in a signal handler.
    /// The text is only as lasting as the queue: read it while the thread is stopped.
    static const char* labelOfThread(pid_t tid);
};

}
