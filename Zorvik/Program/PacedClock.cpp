#include "Zorvik/Program/PacedClock.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/MainQueue.h"

namespace zorvik {

namespace {

/// How often the clock is stepped.
constexpr auto kStepInterval = std::chrono::milliseconds(5);

}

PacedClock::PacedClock()
{
    auto& queue = platform::foundation::mainQueue();
    auto realNow = std::chrono::system_clock::now().time_since_epoch();
    queue.useVirtualClock(platform::foundation::Date { std::chrono::duration<double>(realNow).count() });
    m_steps->last = std::chrono::steady_clock::now();
    m_stepper = std::thread([this, steps = m_steps] {
        while (!m_stopping) {
            std::this_thread::sleep_for(kStepInterval);
            if (!steps->pending.exchange(true))
                platform::foundation::mainQueue().async([steps] { step(*steps); });
        }
    });
}

PacedClock::~PacedClock()
{
    m_stopping = true;
    m_stepper.join();
}

void PacedClock::step(Steps& steps)
{
    steps.pending = false;
    auto now = std::chrono::steady_clock::now();
    double elapsed = std::chrono::duration<double>(now - steps.last).count();
    steps.last = now;
    platform::foundation::mainQueue().advance(elapsed);
}

void PacedClock::runFor(double seconds)
{
    auto& queue = platform::foundation::mainQueue();
    double start = queue.clock().steadySeconds();
    auto duration = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::nanoseconds(platform::foundation::Clock::nanoseconds(seconds)));
    queue.runUntil([] { return false; }, duration);
    double moved = queue.clock().steadySeconds() - start;
    if (moved < seconds)
        queue.advance(seconds - moved);
}

}
