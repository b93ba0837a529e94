#include "platform/ui/Toolbar.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Screen.h"

#include <algorithm>

namespace platform::ui {

Toolbar::Toolbar(Rect frame)
    : View(frame)
{
}

void Toolbar::setItems(const std::vector<std::shared_ptr<BarButtonItem>>& items, bool)
{
    m_items = items;
    setNeedsLayout();
    setNeedsDisplay();
}

std::shared_ptr<BarButtonItem> Toolbar::itemWithTitle(const std::string& title) const
{
    auto it
        = std::find_if(m_items.begin(), m_items.end(), [&](auto& item) { return item->title() == title; });
    return it == m_items.end() ? nullptr : *it;
}

bool Toolbar::tapItem(BarButtonItem& item)
{
    if (std::none_of(m_items.begin(), m_items.end(), [&](auto& own) { return own.get() == &item; }))
        return false;
    if (!isVisible())
        return false;
    auto hit = rootView().hitTest(convertPointTo(bounds().center(), nullptr));
    if (!hit || !hit->isDescendantOf(*this))
        return false;
    auto self = shared_from_this();
    return item.perform();
}

Size Toolbar::sizeThatFits(Size size) const
{
    return { size.width > 0 ? size.width : Screen::main().bounds().width(), height };
}

std::string Toolbar::describe() const
{
    std::string text = View::describe();
    for (auto& item : m_items)
        text += " " + item->describe();
    return text;
}

}
