#pragma once

#include <functional>

namespace zorvik {

/// A timer that runs a block and can be started again: every start cancels the one before.
class ReusableTimerProtocolObjc {
public:
    virtual ~ReusableTimerProtocolObjc() = default;

    /// Cancels the timer, then runs `event` once, `interval` seconds from now.
    virtual void start(double interval, std::function<void()> event) = 0;
    /// Cancels the timer, if it is running.
    virtual void cancel() = 0;
};

}
