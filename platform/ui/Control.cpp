#include "platform/ui/Control.h"

#include <algorithm>

namespace platform::ui {

Control::ActionId Control::addAction(ControlEvent events, Action action)
{
    ActionId id = m_nextId++;
    m_registrations.push_back({ id, events, std::move(action), false, {}, nullptr });
    return id;
}

Control::ActionId Control::addTarget(
    const std::weak_ptr<const void>& target, ControlEvent events, Action action)
{
    ActionId id = m_nextId++;
    m_registrations.push_back({ id, events, std::move(action), true, target, target.lock().get() });
    return id;
}

void Control::removeAction(ActionId id)
{
    std::erase_if(m_registrations, [id](const Registration& r) { return r.id == id; });
}

void Control::removeTarget(const void* target, ControlEvent events)
{
    for (auto& registration : m_registrations) {
        if (registration.hasTarget && registration.targetAddress == target)
            registration.events = ControlEvent(std::uint32_t(registration.events) & ~std::uint32_t(events));
    }
    std::erase_if(m_registrations, [](const Registration& r) { return std::uint32_t(r.events) == 0; });
}

bool Control::isLive(const Registration& registration) const
{
    return !registration.hasTarget || !registration.target.expired();
}

std::size_t Control::actionCount(ControlEvent events) const
{
    return std::size_t(std::count_if(m_registrations.begin(), m_registrations.end(),
        [&](const Registration& r) { return overlaps(r.events, events) && isLive(r); }));
}

void Control::sendActions(ControlEvent events)
{
    auto self = shared_from_this();
    std::erase_if(m_registrations, [this](const Registration& r) { return !isLive(r); });
    auto registrations = m_registrations;
    for (auto& registration : registrations) {
        if (!overlaps(registration.events, events))
            continue;
        // An action removed by an earlier one in this round is not told.
        auto current = std::find_if(m_registrations.begin(), m_registrations.end(),
            [&](const Registration& r) { return r.id == registration.id; });
        if (current == m_registrations.end() || !overlaps(current->events, events))
            continue;
        auto target = registration.target.lock();
        if (registration.hasTarget && !target)
            continue;
        registration.action(*this);
    }
}

void Control::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    stateDidChange();
}

void Control::setHighlighted(bool highlighted)
{
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    stateDidChange();
}

void Control::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    stateDidChange();
}

ControlState Control::state() const
{
    ControlState state = ControlState::Normal;
    if (m_highlighted)
        state = state | ControlState::Highlighted;
    if (!m_enabled)
        state = state | ControlState::Disabled;
    if (m_selected)
        state = state | ControlState::Selected;
    return state;
}

bool Control::canBeTapped()
{
    if (!m_enabled || !isVisible())
        return false;
    View& root = rootView();
    Point center = convertPointTo(bounds().center(), nullptr);
    auto hit = root.hitTest(center);
    for (View* view = hit.get(); view; view = view->superview().get()) {
        if (auto* control = dynamic_cast<Control*>(view))
            return control == this;
    }
    return false;
}

bool Control::tap()
{
    if (!canBeTapped())
        return false;
    auto self = shared_from_this();
    sendActions(ControlEvent::TouchDown);
    setHighlighted(true);
    setHighlighted(false);
    sendActions(ControlEvent::TouchUpInside);
    didTap();
    return true;
}

std::string Control::stateDescription() const
{
    std::string text;
    if (!m_enabled)
        text += " [disabled]";
    if (m_selected)
        text += " [selected]";
    if (m_highlighted)
        text += " [highlighted]";
    return text;
}

std::string Control::describe() const
{
    return View::describe() + stateDescription();
}

}
