#include "Zorvik/Controllers/TabOrderController/TabOrder.h"

#include "Zorvik/Controllers/TabOrderController/TextFieldHolder.h"
#include "platform/foundation/Assertion.h"
#include "platform/ui/TextField.h"

namespace zorvik {

using platform::ui::Control;
using platform::ui::ControlEvent;
using platform::ui::ReturnKeyType;

std::shared_ptr<TabOrder> TabOrder::make(std::vector<Field> responders, bool cleverComplete,
    AcceptsEditing acceptsEditing, BeganEditing beganEditing)
{
    std::shared_ptr<TabOrder> order(new TabOrder());
    order->m_responders = std::move(responders);
    order->m_cleverComplete = cleverComplete;
    order->m_acceptsEditing = std::move(acceptsEditing);
    order->m_beganEditing = std::move(beganEditing);
    std::weak_ptr<const void> target = order;
    TabOrder* self = order.get();
    for (const auto& field : order->m_responders) {
        field->addTarget(target, ControlEvent::EditingDidBegin,
            [self](Control& sender) { self->textFieldBeganEditing(sender); });
        field->addTarget(target, ControlEvent::EditingDidEndOnExit,
            [self](Control& sender) { self->textFieldFinishedEditing(sender); });
    }
    return order;
}

TabOrder::Field TabOrder::next()
{
    auto self = shared_from_this();
    while (true) {
        if (!m_current)
            return nullptr;
        m_responders[*m_current]->resignFirstResponder();
        std::size_t candidate = *m_current + 1;
        if (candidate >= m_responders.size()) {
            setCurrent(std::nullopt);
            return nullptr;
        }
        setCurrent(candidate);
        Field field = m_responders[candidate];
        if (!isNext(*field))
            continue;
        field->becomeFirstResponder();
        return field;
    }
}

bool TabOrder::isNext(Control& field) const
{
    return !m_acceptsEditing || m_acceptsEditing(field);
}

void TabOrder::textFieldBeganEditing(Control& field)
{
    if (m_beganEditing)
        m_beganEditing(field);
    setCurrent(indexOf(field));
    bool lastOfList = *m_current + 1 == m_responders.size();
    if (auto text = TextFieldHolder::textFieldOf(field))
        text->setReturnKeyType(
            lastOfList || isFormNearlyComplete() ? ReturnKeyType::Done : ReturnKeyType::Next);
}

void TabOrder::textFieldFinishedEditing(Control& field)
{
    std::size_t index = indexOf(field);
    if (m_last && *m_last == index)
        return;
    auto self = shared_from_this();
    auto keepField = field.shared_from_this();
    if (!next())
        field.resignFirstResponder();
}

bool TabOrder::isFormNearlyComplete() const
{
    if (!m_cleverComplete)
        return false;
    for (std::size_t index = 0; index < m_responders.size(); ++index) {
        if (m_current && index == *m_current)
            continue;
        auto text = TextFieldHolder::textFieldOf(*m_responders[index]);
        if (text && text->text().empty())
            return false;
    }
    return true;
}

TabOrder::Field TabOrder::current() const
{
    return m_current ? m_responders[*m_current] : nullptr;
}

TabOrder::Field TabOrder::last() const
{
    return m_last ? m_responders[*m_last] : nullptr;
}

std::size_t TabOrder::indexOf(const Control& field) const
{
    for (std::size_t index = 0; index < m_responders.size(); ++index) {
        if (m_responders[index].get() == &field)
            return index;
    }
    platform::foundation::fatalError("The field is not in the tab order");
}

void TabOrder::setCurrent(std::optional<std::size_t> index)
{
    m_current = index;
    if (!index)
        m_last.reset();
    else if (*index > 0)
        m_last = *index - 1;
}

}
