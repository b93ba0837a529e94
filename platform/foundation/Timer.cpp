#include "platform/foundation/Timer.h"

#include "platform/foundation/MainQueue.h"

#include <optional>

namespace platform::foundation {

struct Timer::State {
    double interval { 0 };
    bool repeats { false };
    std::shared_ptr<const std::function<void()>> fired;
    std::optional<MainQueue::TaskId> task;
};

Timer::Timer()
    : m_state(std::make_shared<State>())
{
}

Timer::~Timer()
{
    invalidate();
}

void Timer::start(double seconds, std::function<void()> fired)
{
    invalidate();
    m_state->interval = seconds > 0 ? seconds : kMinimumInterval;
    m_state->repeats = false;
    m_state->fired = std::make_shared<const std::function<void()>>(std::move(fired));
    schedule(m_state);
}

void Timer::startRepeating(double seconds, std::function<void()> fired)
{
    start(seconds, std::move(fired));
    m_state->repeats = true;
}

void Timer::restart()
{
    invalidate();
    if (m_state->fired)
        schedule(m_state);
}

void Timer::invalidate()
{
    if (m_state->task)
        mainQueue().cancel(*m_state->task);
    m_state->task.reset();
}

bool Timer::isScheduled() const
{
    return m_state->task.has_value();
}

void Timer::schedule(const std::shared_ptr<State>& state)
{
    state->task = mainQueue().after(state->interval, [weakState = std::weak_ptr<State>(state)] {
        auto state = weakState.lock();
        if (!state)
            return;
        state->task.reset();
        auto fired = state->fired;
        if (state->repeats)
            schedule(state);
        (*fired)();
    });
}

}
