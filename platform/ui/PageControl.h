#pragma once

#include "platform/ui/Control.h"

#include <optional>

namespace platform::ui {

/// A row of dots, one per page, with the current page's dot marked. Each dot is a subview of its own, in page
/// order, kDotSize points square, one every kDotSpacing points in a centred row. A tap moves to the next page
/// and sends value-changed; setting the page in code sends nothing.
class PageControl : public Control {
public:
    /// The width and height of a dot.
    static constexpr double kDotSize { 7 };
    /// The distance from one dot to the next.
    static constexpr double kDotSpacing { 16 };

    /// A page control with the frame and no pages.
    explicit PageControl(Rect frame = Rect::zero());

    /// "PageControl".
    std::string className() const override { return "PageControl"; }

    /// How many dots there are.
    int numberOfPages() const { return m_numberOfPages; }
    /// Sets how many dots there are (at least 0), adding or removing dot subviews; the current page stays
    /// within them.
    void setNumberOfPages(int pages);
    /// The marked page, from 0.
    int currentPage() const { return m_currentPage; }
    /// Marks a page (held between 0 and the last page).
    virtual void setCurrentPage(int page);
    /// Whether the control hides itself with a single page.
    bool hidesForSinglePage() const { return m_hidesForSinglePage; }
    /// Sets whether the control hides itself with a single page.
    void setHidesForSinglePage(bool hides) { m_hidesForSinglePage = hides; }

    /// The colour of the other dots (the tint at 20 % unless set).
    Color pageIndicatorTintColor() const { return m_indicatorColor.value_or(tintColor().withAlpha(0.2)); }
    /// Sets (or clears) the colour of the other dots.
    void setPageIndicatorTintColor(const std::optional<Color>& color) { m_indicatorColor = color; }
    /// The colour of the current page's dot (the tint unless set).
    Color currentPageIndicatorTintColor() const { return m_currentIndicatorColor.value_or(tintColor()); }
    /// Sets (or clears) the colour of the current page's dot.
    void setCurrentPageIndicatorTintColor(const std::optional<Color>& color)
    {
        m_currentIndicatorColor = color;
    }

    /// Places the dots.
    void layoutSubviews() override;
    /// 16 points per dot, 37 high.
    Size intrinsicContentSize() const override;
    /// The intrinsic size.
    Size sizeThatFits(Size) const override { return intrinsicContentSize(); }

    /// Frame, "page 2 of 3" and state.
    std::string describe() const override;

protected:
    /// Moves to the next page (when there is one) and sends value-changed.
    void didTap() override;

private:
    int m_numberOfPages { 0 };
    int m_currentPage { 0 };
    bool m_hidesForSinglePage { false };
    std::optional<Color> m_indicatorColor;
    std::optional<Color> m_currentIndicatorColor;
};

}
