#include "platform/ui/BarButtonItem.h"

#include "platform/ui/Geometry.h"

namespace platform::ui {

namespace {

const char* systemItemTitle(BarButtonSystemItem item)
{
    switch (item) {
    case BarButtonSystemItem::Done:
        return "Done";
    case BarButtonSystemItem::Cancel:
        return "Cancel";
    case BarButtonSystemItem::Edit:
        return "Edit";
    case BarButtonSystemItem::Save:
        return "Save";
    case BarButtonSystemItem::Add:
        return "+";
    case BarButtonSystemItem::FlexibleSpace:
    case BarButtonSystemItem::FixedSpace:
        break;
    }
    return nullptr;
}

}

BarButtonItem::BarButtonItem(const std::optional<std::string>& title, BarButtonItemStyle style, Action action)
    : m_title(title)
    , m_style(style)
    , m_action(std::move(action))
{
}

BarButtonItem::BarButtonItem(BarButtonSystemItem systemItem, Action action)
    : m_systemItem(systemItem)
    , m_action(std::move(action))
{
    if (const char* title = systemItemTitle(systemItem))
        m_title = title;
    if (systemItem == BarButtonSystemItem::Done || systemItem == BarButtonSystemItem::Save)
        m_style = BarButtonItemStyle::Done;
}

std::shared_ptr<BarButtonItem> BarButtonItem::flexibleSpace()
{
    return std::make_shared<BarButtonItem>(BarButtonSystemItem::FlexibleSpace);
}

std::shared_ptr<BarButtonItem> BarButtonItem::fixedSpace(double width)
{
    auto item = std::make_shared<BarButtonItem>(BarButtonSystemItem::FixedSpace);
    item->setWidth(width);
    return item;
}

bool BarButtonItem::isSpace() const
{
    return m_systemItem == BarButtonSystemItem::FlexibleSpace
        || m_systemItem == BarButtonSystemItem::FixedSpace;
}

void BarButtonItem::setAction(Action action)
{
    m_action = std::move(action);
    m_hasTarget = false;
    m_target.reset();
}

void BarButtonItem::setTarget(const std::weak_ptr<const void>& target, Action action)
{
    m_action = std::move(action);
    m_hasTarget = true;
    m_target = target;
}

bool BarButtonItem::hasAction() const
{
    return m_action && (!m_hasTarget || !m_target.expired());
}

bool BarButtonItem::perform()
{
    if (!m_enabled || isSpace() || !hasAction())
        return false;
    auto keepAlive = weak_from_this().lock();
    auto target = m_target.lock();
    auto action = m_action;
    action(*this);
    return true;
}

std::string BarButtonItem::describe() const
{
    if (m_systemItem == BarButtonSystemItem::FlexibleSpace)
        return "[flexible space]";
    if (m_systemItem == BarButtonSystemItem::FixedSpace)
        return "[fixed space " + formatNumber(m_width) + "]";
    std::string text = m_title ? "\"" + *m_title + "\"" : "[item]";
    if (!m_enabled)
        text += " [disabled]";
    return text;
}

}
