#pragma once

#include <functional>
#include <memory>

namespace platform::foundation {

/// A restartable timer on the main queue and its clock: once, or repeating.
///
/// At most one schedule is live: every start cancels the one before it, so a
/// target given earlier never runs after a new start. The timer owns its
/// target; the scheduled task holds the timer's state only weakly, so once
/// the Timer is destroyed (with its owner, typically) nothing it scheduled
/// runs, and a target may capture `this` of the timer's owner. A target may
/// restart, invalidate or even destroy its own timer.
///
/// Use it on the main thread.
class Timer {
public:
    /// Seconds used for an interval that is not positive.
    static constexpr double kMinimumInterval { 0.0001 };

    /// A timer with nothing scheduled.
    Timer();
    /// Cancels whatever is scheduled.
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    /// Cancels any schedule, then calls `fired` once, `seconds` from now.
    void start(double seconds, std::function<void()> fired);

    /// Cancels any schedule, then calls `fired` every `seconds` until invalidated or restarted.
    void startRepeating(double seconds, std::function<void()> fired);

    /// Starts again with the interval, target and repetition of the last start, counting from now.
    /// Does nothing when the timer was never started.
    void restart();

    /// Cancels the schedule, if any; the target is kept for restart().
    void invalidate();

    /// True while a firing is scheduled.
    bool isScheduled() const;

private:
    struct State;

    static void schedule(const std::shared_ptr<State>& state);

    std::shared_ptr<State> m_state;
};

}
