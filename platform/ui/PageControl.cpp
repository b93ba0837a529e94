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
    while (int(subviews().size()) > m_numberOfPages) {
        auto last = subviews().back();
        last->removeFromSuperview();
    }
    // A dot is made at its size, so that a view put inside it (a picture of the dot) can take that size;
    // layoutSubviews places it in the row.
    while (int(subviews().size()) < m_numberOfPages) {
        auto dot = std::make_shared<View>(Rect { 0, 0, kDotSize, kDotSize });
        dot->setUserInteractionEnabled(false);
        addSubview(dot);
    }
    setNeedsLayout();
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

void PageControl::layoutSubviews()
{
    // The dots sit in a centred row, one every kDotSpacing points.
    double left = (bounds().width() - kDotSpacing * m_numberOfPages) / 2;
    double top = (bounds().height() - kDotSize) / 2;
    for (std::size_t index = 0; index < subviews().size(); ++index) {
        double x = left + kDotSpacing * double(index) + (kDotSpacing - kDotSize) / 2;
        subviews()[index]->setFrame({ x, top, kDotSize, kDotSize });
    }
}

Size PageControl::intrinsicContentSize() const
{
    return { kDotSpacing * m_numberOfPages, 37 };
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
