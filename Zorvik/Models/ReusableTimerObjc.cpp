#include "Zorvik/Models/ReusableTimerObjc.h"

namespace zorvik {

void ReusableTimerObjc::start(double interval, std::function<void()> event)
{
    m_timer.start(interval, std::move(event));
}

void ReusableTimerObjc::startWithRepeat(double interval, std::function<void()> event)
{
    m_timer.startRepeating(interval, std::move(event));
}

void ReusableTimerObjc::cancel()
{
    m_timer.invalidate();
}

}
