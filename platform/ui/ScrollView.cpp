#include "platform/ui/ScrollView.h"

#include "platform/ui/Animation.h"

#include <algorithm>
#include <cmath>

namespace platform::ui {

namespace {

constexpr double scrollAnimationDuration = 0.3;

}

ScrollView::ScrollView(Rect frame)
    : View(frame)
    , m_pan(std::make_shared<PanGestureRecognizer>())
{
    m_panHandler = m_pan->addHandler(
        [this](GestureRecognizer& recognizer) { handlePan(static_cast<PanGestureRecognizer&>(recognizer)); });
    addGestureRecognizer(m_pan);
}

ScrollView::~ScrollView()
{
    m_pan->removeHandler(m_panHandler);
}

void ScrollView::setContentOffset(Point offset)
{
    if (offset == contentOffset())
        return;
    setBounds({ offset, bounds().size });
    if (auto listener = delegate())
        listener->didScroll(*this);
}

void ScrollView::setContentOffset(Point offset, bool animated)
{
    if (!animated) {
        setContentOffset(offset);
        return;
    }
    std::weak_ptr<View> weakSelf = weak_from_this();
    Animation::animate(
        scrollAnimationDuration, [&] { setContentOffset(offset); },
        [weakSelf](bool) {
            auto self = std::static_pointer_cast<ScrollView>(weakSelf.lock());
            if (!self)
                return;
            if (auto listener = self->delegate())
                listener->didEndScrollingAnimation(*self);
        });
}

Point ScrollView::minimumContentOffset() const
{
    return { -m_contentInset.left, -m_contentInset.top };
}

Point ScrollView::maximumContentOffset() const
{
    Point minimum = minimumContentOffset();
    Size visible = bounds().size;
    return { std::max(minimum.x, m_contentSize.width + m_contentInset.right - visible.width),
        std::max(minimum.y, m_contentSize.height + m_contentInset.bottom - visible.height) };
}

Point ScrollView::clamped(Point offset) const
{
    Point minimum = minimumContentOffset();
    Point maximum = maximumContentOffset();
    return { std::clamp(offset.x, minimum.x, maximum.x), std::clamp(offset.y, minimum.y, maximum.y) };
}

Point ScrollView::restingOffset() const
{
    Point offset = clamped(contentOffset());
    if (!m_pagingEnabled)
        return offset;
    Size page = bounds().size;
    if (page.width > 0)
        offset.x = std::round(offset.x / page.width) * page.width;
    if (page.height > 0)
        offset.y = std::round(offset.y / page.height) * page.height;
    return clamped(offset);
}

void ScrollView::handlePan(PanGestureRecognizer& pan)
{
    auto self = shared_from_this();
    auto listener = delegate();
    switch (pan.state()) {
    case GestureRecognizer::State::Began:
        m_dragging = true;
        m_dragStart = contentOffset();
        if (listener)
            listener->willBeginDragging(*this);
        break;
    case GestureRecognizer::State::Changed:
        setContentOffset(
            clamped({ m_dragStart.x - pan.translation().x, m_dragStart.y - pan.translation().y }));
        break;
    case GestureRecognizer::State::Ended:
    case GestureRecognizer::State::Cancelled:
        m_dragging = false;
        if (listener)
            listener->didEndDragging(*this, true);
        setContentOffset(restingOffset());
        if (auto current = delegate())
            current->didEndDecelerating(*this);
        break;
    case GestureRecognizer::State::Possible:
        break;
    }
}

bool ScrollView::drag(Point translation, int steps)
{
    View* owner = m_pan->view();
    if (!owner || !isVisible())
        return false;
    View& root = rootView();
    auto hit = root.hitTest(convertPointTo(bounds().center(), nullptr));
    if (!hit || !hit->isDescendantOf(*owner))
        return false;
    return m_pan->pan(translation, steps);
}

std::string ScrollView::describe() const
{
    return View::describe() + " offset " + toString(contentOffset()) + " content " + toString(m_contentSize);
}

}
