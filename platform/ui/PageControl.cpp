#include "platform/ui/PageControl.h"

#include <algorithm>

namespace platform::ui {

PageControl::PageControl(Rect frame)
    : Control(frame)
{
}

void PageControl::setNumberOfPages(int pages)
{
    m_numberOfPages = std::max(pages, 0);
    if (m_currentPage >= m_numberOfPages)
        setCurrentPage(m_numberOfPages - 1);
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void PageControl::setCurrentPage(int page)
{
    m_currentPage = std::clamp(page, 0, std::max(m_numberOfPages - 1, 0));
    setNeedsDisplay();
}

Size PageControl::intrinsicContentSize() const
{
    return { 16.0 * m_numberOfPages, 37 };
}

void PageControl::didTap()
{
    if (m_currentPage + 1 >= m_numberOfPages)
        return;
    setCurrentPage(m_currentPage + 1);
    sendActions(ControlEvent::ValueChanged);
}

std::string PageControl::describe() const
{
    std::string text = View::describe() + " page " + std::to_string(m_currentPage + 1) + " of "
        + std::to_string(m_numberOfPages);
    if (m_hidesForSinglePage && m_numberOfPages <= 1)
        text += " [single page hidden]";
    return text + stateDescription();
}

}
