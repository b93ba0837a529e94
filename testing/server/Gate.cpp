#include "testing/server/Gate.h"

namespace testing {

Gate::~Gate()
{
    open();
}

std::function<void()> Gate::waiting() const
{
    return [state = m_state] {
        std::unique_lock lock(state->mutex);
        state->changed.wait(lock, [&] { return state->open; });
    };
}

void Gate::open()
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->open = true;
    }
    m_state->changed.notify_all();
}

}
