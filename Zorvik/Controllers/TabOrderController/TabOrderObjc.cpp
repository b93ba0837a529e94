#include "Zorvik/Controllers/TabOrderController/TabOrderObjc.h"

#include "Zorvik/Controllers/TabOrderController/TextFieldHolder.h"
#include "platform/ui/TextField.h"

namespace zorvik {

using platform::ui::Control;
using platform::ui::ControlEvent;
using platform::ui::ReturnKeyType;

std::shared_ptr<TabOrderObjc> TabOrderObjc::make(std::vector<Field> responders, bool cleverComplete,
    AcceptsEditing acceptsEditing, BeganEditing beganEditing)
{
    std::shared_ptr<TabOrderObjc> order(new TabOrderObjc());
    order->m_responders = std::move(responders);
    order->m_cleverComplete = cleverComplete;
    order->m_acceptsEditing = acceptsEditing ? std::move(acceptsEditing) : [](Control&) { return true; };
    order->m_beganEditing = beganEditing ? std::move(beganEditing) : [](Control&) {};
    std::weak_ptr<const void> target = order;
    TabOrderObjc* self = order.get();
    for (const auto& field : order->m_responders) {
        field->addTarget(target, ControlEvent::EditingDidBegin,
            [self](Control& sender) { self->textFieldBeganEditing(sender); });
        field->addTarget(target, ControlEvent::EditingDidEndOnExit,
            [self](Control& sender) { self->textFieldFinishedEditing(sender); });
    }
    return order;
}

TabOrderObjc::Field TabOrderObjc::next()
{
    auto self = shared_from_this();
    while (true) {
        if (!m_current)
            return nullptr;
        m_responders[*m_current]->resignFirstResponder();
        std::size_t candidate = *m_current + 1;
        if (candidate >= m_responders.size()) {
            m_current.reset();
            return nullptr;
        }
        m_current = candidate;
        Field field = m_responders[candidate];
        if (!isNext(*field))
            continue;
        field->becomeFirstResponder();
        return field;
    }
}

bool TabOrderObjc::isNext(Control& field) const
{
    return m_acceptsEditing(field);
}

void TabOrderObjc::textFieldBeganEditing(Control& field)
{
    m_beganEditing(field);
    m_current = indexOf(field);
    bool last = m_current && *m_current + 1 == m_responders.size();
    if (auto text = TextFieldHolder::textFieldOf(field))
        text->setReturnKeyType(last || isFormNearlyComplete() ? ReturnKeyType::Done : ReturnKeyType::Next);
}

void TabOrderObjc::textFieldFinishedEditing(Control& field)
{
    auto self = shared_from_this();
    auto keepField = field.shared_from_this();
    if (!next())
        field.resignFirstResponder();
}

bool TabOrderObjc::isFormNearlyComplete() const
{
    if (!m_cleverComplete)
        return false;
    for (std::size_t index = 0; index < m_responders.size(); ++index) {
        if (m_current && index == *m_current)
            continue;
        auto text = TextFieldHolder::textFieldOf(*m_responders[index]);
        if (!text || text->text().empty())
            return false;
    }
    return true;
}

TabOrderObjc::Field TabOrderObjc::current() const
{
    return m_current ? m_responders[*m_current] : nullptr;
}

std::optional<std::size_t> TabOrderObjc::indexOf(const Control& field) const
{
    for (std::size_t index = 0; index < m_responders.size(); ++index) {
        if (m_responders[index].get() == &field)
            return index;
    }
    return std::nullopt;
}

}
