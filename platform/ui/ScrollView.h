#pragma once

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/View.h"

#include <memory>

namespace platform::ui {

class ScrollView;

/// Told about a scroll view's movement. Every method has a default that does nothing.
class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;

    /// The content offset changed.
    virtual void didScroll(ScrollView&) { }
    /// A finger started dragging the content.
    virtual void willBeginDragging(ScrollView&) { }
    /// The finger lifted; `willDecelerate` tells whether the content moves on (and did-end-decelerating
    /// follows).
    virtual void didEndDragging(ScrollView&, bool /*willDecelerate*/) { }
    /// The content came to rest after a drag.
    virtual void didEndDecelerating(ScrollView&) { }
    /// An animated setContentOffset finished.
    virtual void didEndScrollingAnimation(ScrollView&) { }
};

/// A view that shows part of a larger content and moves it under a finger. The content offset is the
/// bounds' origin: the content point shown at the top left.
///
/// A drag is driven by the scroll view's pan gesture recogniser, which may be moved to another view (a drag
/// on that view then scrolls this one). A drag follows the finger within the content's range and, when the
/// finger lifts, the content settles at once (on the nearest page when paging) and did-end-decelerating is
/// told. Subclasses can hold the offset in bounds by overriding setContentOffset(Point), which every drag
/// step, settle and programmatic change goes through (add `using ScrollView::setContentOffset;` to keep the
/// animated form visible).
class ScrollView : public View {
public:
    /// A scroll view with the frame.
    explicit ScrollView(Rect frame = Rect::zero());
    ~ScrollView() override;

    /// "ScrollView".
    std::string className() const override { return "ScrollView"; }

    /// The size of the content.
    Size contentSize() const { return m_contentSize; }
    /// Sets the size of the content (the offset stays where it is).
    void setContentSize(Size size) { m_contentSize = size; }
    /// The content point shown at the top left.
    Point contentOffset() const { return bounds().origin; }
    /// Moves the content; tells the delegate didScroll when the offset changes.
    virtual void setContentOffset(Point offset);
    /// Moves the content, animated: the offset takes its value at once and the delegate hears
    /// didEndScrollingAnimation when the animation ends on the main queue's clock. Not animated, it is
    /// setContentOffset(offset).
    void setContentOffset(Point offset, bool animated);
    /// Extra room around the content.
    EdgeInsets contentInset() const { return m_contentInset; }
    /// Sets the extra room around the content.
    void setContentInset(const EdgeInsets& insets) { m_contentInset = insets; }
    /// The smallest offset a drag reaches.
    Point minimumContentOffset() const;
    /// The largest offset a drag reaches.
    Point maximumContentOffset() const;

    /// Whether drags settle on whole pages (multiples of the bounds size).
    bool isPagingEnabled() const { return m_pagingEnabled; }
    /// Turns paging on or off.
    void setPagingEnabled(bool enabled) { m_pagingEnabled = enabled; }
    /// Whether a finger can scroll the content (its pan recogniser is enabled).
    bool isScrollEnabled() const { return m_pan->isEnabled(); }
    /// Lets a finger scroll the content or not.
    void setScrollEnabled(bool enabled) { m_pan->setEnabled(enabled); }

    /// The delegate, or null.
    std::shared_ptr<ScrollViewDelegate> delegate() const { return m_delegate.lock(); }
    /// Sets the delegate, held weakly.
    void setDelegate(const std::weak_ptr<ScrollViewDelegate>& delegate) { m_delegate = delegate; }

    /// The recogniser that drives drags; add it to another view to drag from there.
    const std::shared_ptr<PanGestureRecognizer>& panGestureRecognizer() const { return m_pan; }
    /// Whether a finger is dragging the content now.
    bool isDragging() const { return m_dragging; }

    /// A finger put on the scroll view's centre drags by `translation` (the content follows the finger, so
    /// the offset moves the other way) in `steps` moves and lifts. The touch reaches the pan recogniser when
    /// the hit test at that point lands on the recogniser's view or below it. Returns whether it did.
    bool drag(Point translation, int steps = 10);

    /// Frame, content offset and content size.
    std::string describe() const override;

private:
    void handlePan(PanGestureRecognizer& pan);
    Point clamped(Point offset) const;
    Point restingOffset() const;

    Size m_contentSize;
    EdgeInsets m_contentInset;
    bool m_pagingEnabled { false };
    bool m_dragging { false };
    Point m_dragStart;
    std::weak_ptr<ScrollViewDelegate> m_delegate;
    std::shared_ptr<PanGestureRecognizer> m_pan;
    GestureRecognizer::HandlerId m_panHandler { 0 };
};

}
