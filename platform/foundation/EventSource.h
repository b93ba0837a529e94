#pragma once

#include <poll.h>

#include <chrono>
#include <optional>
#include <span>
#include <vector>

namespace platform::foundation {

/// Work the main queue waits for in the same wait as its tasks: descriptors
/// becoming ready, and a deadline in real time. The HTTP layer drives its
/// transfers this way, so that an answer is read on the main thread as soon
/// as it arrives, without a hand-off from another thread.
///
/// The queue calls both members on the main thread, prepare() before each
/// wait and dispatch() after it, whenever it runs: run(), runUntil(), and
/// (without waiting) runUntilIdle() and advance().
class EventSource {
public:
    using Deadline = std::chrono::steady_clock::time_point;

    virtual ~EventSource() = default;

    /// Appends the descriptors to wait on to `descriptors`, and returns the
    /// real time by which dispatch() must run even if none becomes ready
    /// (nullopt: none). A source with nothing to wait for adds nothing and
    /// returns nullopt.
    virtual std::optional<Deadline> prepare(std::vector<pollfd>& descriptors) = 0;

    /// Handles what the wait found: `descriptors` are those prepare() added,
    /// with `revents` filled in (all zero when the wait ended otherwise).
    virtual void dispatch(std::span<const pollfd> descriptors) = 0;
};

}
