#pragma once

#include "platform/foundation/Date.h"

#include <cstdint>
#include <mutex>

namespace platform::foundation {

class MainQueue;

/// The time source of the main queue: the real clock in the app, a virtual
/// clock in tests. A virtual clock stands still until the queue advances it
/// (MainQueue::advance) or a test sets it (setNow).
///
/// A clock keeps two readings: the date (what now() returns, and what setNow()
/// changes) and a steady reading in whole nanoseconds, which never jumps and by
/// which the main queue schedules delayed work (so that a hundred delays of
/// 0.01 s add up to exactly one second). Setting the date therefore neither
/// fires nor holds back pending timers; advancing moves both readings together.
///
/// All members are thread-safe. Code that needs "the current time" calls the
/// free function now() below rather than reaching for a clock of its own.
class Clock {
public:
    /// Where a virtual clock starts unless told otherwise:
    /// Wednesday 14 January 2015, 12:00:00 UTC (noon in London, outside summer time).
    static constexpr Date kVirtualStart { 1421236800 };

    /// A real clock. The main queue owns the one clock that matters.
    Clock();

    /// True while the clock is virtual.
    bool isVirtual() const;

    /// The current date.
    Date now() const;

    /// Sets the date of a virtual clock; steady seconds are unchanged.
    /// Throws std::logic_error on a real clock.
    void setNow(Date date);

    /// Nanoseconds on a scale that never jumps (virtual: from zero when the
    /// clock became virtual; real: the system's monotonic clock).
    std::int64_t steadyNanoseconds() const;

    /// The steady reading in seconds.
    double steadySeconds() const;

    /// Whole nanoseconds nearest to `seconds`, held between zero and about 31 years.
    static std::int64_t nanoseconds(double seconds);

private:
    friend class MainQueue;

    void useVirtual(Date start);
    void useReal();
    void advanceTo(std::int64_t steadyNanoseconds);

    mutable std::mutex m_mutex;
    bool m_virtual { false };
    std::int64_t m_virtualSteady { 0 };
    double m_virtualDateOffset { 0 };
};

/// The current date on the main queue's clock: virtual in tests, real in the app.
Date now();

}
