#include "platform/ui/View.h"

#include <algorithm>
#include <stdexcept>

namespace platform::ui {

Window* View::window() const
{
    auto parent = superview();
    return parent ? parent->window() : nullptr;
}

View& View::rootView()
{
    View* view = this;
    while (auto parent = view->superview())
        view = parent.get();
    return *view;
}

const View& View::rootView() const
{
    return const_cast<View*>(this)->rootView();
}

bool View::isDescendantOf(const View& ancestor) const
{
    for (const View* view = this; view; view = view->superview().get()) {
        if (view == &ancestor)
            return true;
    }
    return false;
}

void View::addSubview(const std::shared_ptr<View>& view)
{
    insertSubviewAtIndex(view, m_subviews.size());
}

void View::insertSubviewAt(const std::shared_ptr<View>& view, std::size_t index)
{
    insertSubviewAtIndex(view, index);
}

void View::insertSubviewAbove(const std::shared_ptr<View>& view, const View& sibling)
{
    insertSubviewNextTo(view, sibling, true);
}

void View::insertSubviewBelow(const std::shared_ptr<View>& view, const View& sibling)
{
    insertSubviewNextTo(view, sibling, false);
}

void View::insertSubviewNextTo(const std::shared_ptr<View>& view, const View& sibling, bool above)
{
    auto it
        = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& s) { return s.get() == &sibling; });
    if (it == m_subviews.end()) {
        insertSubviewAtIndex(view, m_subviews.size());
        return;
    }
    std::size_t index = std::size_t(it - m_subviews.begin()) + (above ? 1 : 0);
    if (view->superview().get() == this && view.get() != &sibling) {
        auto own = std::find(m_subviews.begin(), m_subviews.end(), view);
        if (std::size_t(own - m_subviews.begin()) < index)
            --index;
    }
    insertSubviewAtIndex(view, index);
}

void View::bringSubviewToFront(const View& view)
{
    auto it = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& s) { return s.get() == &view; });
    if (it == m_subviews.end())
        return;
    std::rotate(it, it + 1, m_subviews.end());
}

void View::sendSubviewToBack(const View& view)
{
    auto it = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& s) { return s.get() == &view; });
    if (it == m_subviews.end())
        return;
    std::rotate(m_subviews.begin(), it, it + 1);
}

void View::insertSubviewAtIndex(const std::shared_ptr<View>& view, std::size_t index)
{
    if (!view)
        throw std::invalid_argument("View: cannot add a null subview");
    if (isDescendantOf(*view))
        throw std::invalid_argument("View: a view cannot become a subview of itself or of its descendants");
    auto self = shared_from_this();

    if (view->superview().get() == this) {
        auto it = std::find(m_subviews.begin(), m_subviews.end(), view);
        m_subviews.erase(it);
        m_subviews.insert(m_subviews.begin() + std::ptrdiff_t(std::min(index, m_subviews.size())), view);
        return;
    }

    Window* formerWindow = view->window();
    View& formerRoot = view->rootView();
    View& newRoot = rootView();
    std::shared_ptr<View> carriedResponder;
    if (auto responder = formerRoot.m_firstResponder.lock(); responder && responder->isDescendantOf(*view)) {
        // The first responder moves along when its tree is put under another root that has none.
        if (&formerRoot == view.get() && !newRoot.m_firstResponder.lock())
            carriedResponder = responder;
        else if (&formerRoot != &newRoot)
            responder->finishResigning();
    }
    view->m_firstResponder.reset();
    if (view->superview())
        view->detachFromSuperview();

    m_subviews.insert(m_subviews.begin() + std::ptrdiff_t(std::min(index, m_subviews.size())), view);
    view->m_superview = self;
    if (carriedResponder)
        newRoot.m_firstResponder = carriedResponder;
    setNeedsLayout();
    view->didMoveToSuperview();
    if (view->window() != formerWindow)
        view->notifyMovedToWindow();
}

void View::detachFromSuperview()
{
    auto parent = superview();
    if (auto& hook = layoutHooks().viewWillLeaveSuperview)
        hook(*this, *parent);
    std::erase_if(parent->m_subviews, [this](auto& s) { return s.get() == this; });
    m_superview.reset();
    parent->setNeedsLayout();
}

void View::removeFromSuperview()
{
    if (!superview())
        return;
    auto self = shared_from_this();
    endEditing(true);
    Window* formerWindow = window();
    detachFromSuperview();
    didMoveToSuperview();
    if (formerWindow)
        notifyMovedToWindow();
}

void View::notifyMovedToWindow()
{
    didMoveToWindow();
    auto subviews = m_subviews;
    for (auto& subview : subviews)
        subview->notifyMovedToWindow();
}

std::shared_ptr<View> View::viewWithTag(int tag)
{
    if (m_tag == tag)
        return shared_from_this();
    for (auto& subview : m_subviews) {
        if (auto found = subview->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

}
