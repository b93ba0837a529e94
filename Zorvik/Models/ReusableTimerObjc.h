#pragma once

#include "Zorvik/Models/ReusableTimerProtocolObjc.h"
#include "platform/foundation/Timer.h"

namespace zorvik {

/// The restartable timer of the search screens (their typing delay and their repeating status text), on
/// the main queue and its clock. At most one schedule is live, so a block given earlier never runs after a
/// new start. Going away cancels it. Use it on the main thread.
class ReusableTimerObjc : public ReusableTimerProtocolObjc {
public:
    /// Cancels the timer, then runs `event` once, `interval` seconds from now.
    void start(double interval, std::function<void()> event) override;
    /// Cancels the timer, then runs `event` every `interval` seconds until cancelled or started again.
    void startWithRepeat(double interval, std::function<void()> event);
    /// Cancels the timer, if it is running.
    void cancel() override;

    /// The timer scheduled last (kept after it fired or was cancelled).
    const platform::foundation::Timer& timer() const { return m_timer; }

private:
    platform::foundation::Timer m_timer;
};

}
