#include "platform/ui/GestureRecognizer.h"

#include "platform/ui/View.h"

#include <algorithm>

namespace platform::ui {

GestureRecognizer::HandlerId GestureRecognizer::addHandler(Recognized recognized)
{
    HandlerId id = m_nextId++;
    m_handlers.push_back({ id, std::move(recognized) });
    return id;
}

void GestureRecognizer::removeHandler(HandlerId id)
{
    std::erase_if(m_handlers, [id](const Handler& handler) { return handler.id == id; });
}

bool GestureRecognizer::canReceiveTouches() const
{
    if (!m_enabled || !m_view || !m_view->isVisible())
        return false;
    for (const View* view = m_view; view; view = view->superview().get()) {
        if (!view->isUserInteractionEnabled())
            return false;
    }
    return true;
}

void GestureRecognizer::moveTo(State state)
{
    m_state = state;
    if (state == State::Possible)
        return;
    auto handlers = m_handlers;
    for (auto& handler : handlers) {
        bool stillRegistered = std::any_of(m_handlers.begin(), m_handlers.end(),
            [&](const Handler& current) { return current.id == handler.id; });
        if (stillRegistered)
            handler.recognized(*this);
    }
}

bool TapGestureRecognizer::tap()
{
    if (!canReceiveTouches())
        return false;
    auto keepAlive = weak_from_this().lock();
    moveTo(State::Ended);
    moveTo(State::Possible);
    return true;
}

bool PanGestureRecognizer::pan(Point translation, int steps)
{
    if (!canReceiveTouches())
        return false;
    auto keepAlive = weak_from_this().lock();
    steps = std::max(steps, 1);
    m_translation = {};
    moveTo(State::Began);
    for (int step = 1; step <= steps; ++step) {
        m_translation = { translation.x * step / steps, translation.y * step / steps };
        moveTo(State::Changed);
    }
    moveTo(State::Ended);
    moveTo(State::Possible);
    return true;
}

}
