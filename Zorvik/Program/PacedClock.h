#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace zorvik {

/// The app program's clock: the main queue's clock, started at the computer's current date and kept in step
/// with real time, so that timers, animations and dates behave as on the real clock, while the app's time
/// can still be moved on at once where a person's absence needs no real waiting (the screen driver's
/// "background" command advances it).
///
/// While it exists, a thread of its own posts a step to the main queue every few milliseconds; each step
/// moves the clock on by the real time since the step before. Make it on the main thread before the main
/// queue runs; it stops stepping when it goes away.
class PacedClock {
public:
    /// Puts the main queue on a clock standing at the computer's current date and starts stepping it.
    PacedClock();
    /// Stops stepping; the clock stays where it is.
    ~PacedClock();
    PacedClock(const PacedClock&) = delete;
    PacedClock& operator=(const PacedClock&) = delete;

    /// Runs the main queue for `seconds` of real time (work from other threads, such as the back-end's
    /// answers, arrives meanwhile), then makes sure the app's clock has moved on at least `seconds`. Call on
    /// the main thread.
    void runFor(double seconds);

private:
    struct Steps {
        std::atomic<bool> pending { false };
        std::chrono::steady_clock::time_point last { std::chrono::steady_clock::now() };
    };

    static void step(Steps& steps);

    std::shared_ptr<Steps> m_steps { std::make_shared<Steps>() };
    std::atomic<bool> m_stopping { false };
    std::thread m_stepper;
};

}
