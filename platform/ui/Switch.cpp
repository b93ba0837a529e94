#include "platform/ui/Switch.h"

namespace platform::ui {

Switch::Switch(Rect frame)
    : Control({ frame.origin, naturalSize })
{
}

void Switch::setOn(bool on, bool)
{
    if (on == m_on)
        return;
    m_on = on;
    setNeedsDisplay();
}

void Switch::didTap()
{
    setOn(!m_on, true);
    sendActions(ControlEvent::ValueChanged);
}

std::string Switch::describe() const
{
    return View::describe() + (m_on ? " on" : " off") + stateDescription();
}

}
