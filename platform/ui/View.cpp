#include "platform/ui/View.h"

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Keyboard.h"

#include <algorithm>
#include <stdexcept>

namespace platform::ui {

namespace {

std::size_t axisIndex(LayoutAxis axis)
{
    return axis == LayoutAxis::Horizontal ? 0 : 1;
}

}

View::View(Rect frame)
    : m_frame(frame)
    , m_bounds({}, frame.size)
{
}

View::~View()
{
    for (auto& recognizer : m_gestures)
        recognizer->m_view = nullptr;
    Keyboard::shared().viewWillBeDestroyed(*this);
}

View::LayoutHooks& View::layoutHooks()
{
    static LayoutHooks hooks;
    return hooks;
}

std::string View::className() const
{
    return "View";
}

void View::setFrame(const Rect& frame)
{
    bool resized = frame.size != m_frame.size;
    m_frame = frame;
    m_bounds.size = frame.size;
    if (resized) {
        setNeedsLayout();
        setNeedsDisplay();
    }
}

void View::setBounds(const Rect& bounds)
{
    bool resized = bounds.size != m_bounds.size;
    Point center = m_frame.center();
    m_bounds = bounds;
    m_frame
        = { center.x - bounds.width() / 2, center.y - bounds.height() / 2, bounds.width(), bounds.height() };
    if (resized) {
        setNeedsLayout();
        setNeedsDisplay();
    }
}

void View::setCenter(Point center)
{
    setFrame({ center.x - m_frame.width() / 2, center.y - m_frame.height() / 2, m_frame.width(),
        m_frame.height() });
}

Point View::pointToRoot(Point point) const
{
    const View* view = this;
    for (auto parent = view->superview(); parent; parent = view->superview()) {
        point = { point.x - view->m_bounds.x() + view->m_frame.x(),
            point.y - view->m_bounds.y() + view->m_frame.y() };
        view = parent.get();
    }
    return point;
}

Point View::pointFromRoot(Point point) const
{
    std::vector<const View*> chain;
    for (const View* view = this; view->superview(); view = view->superview().get())
        chain.push_back(view);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const View* view = *it;
        point = { point.x - view->m_frame.x() + view->m_bounds.x(),
            point.y - view->m_frame.y() + view->m_bounds.y() };
    }
    return point;
}

Point View::convertPointTo(Point point, const View* target) const
{
    Point inRoot = pointToRoot(point);
    if (!target)
        return inRoot;
    const View& ownRoot = rootView();
    const View& targetRoot = target->rootView();
    if (&ownRoot != &targetRoot) {
        // Separate trees (two windows): their roots' frames place them on one screen.
        inRoot = { inRoot.x + ownRoot.m_frame.x() - targetRoot.m_frame.x(),
            inRoot.y + ownRoot.m_frame.y() - targetRoot.m_frame.y() };
    }
    return target->pointFromRoot(inRoot);
}

Point View::convertPointFrom(Point point, const View* source) const
{
    if (!source)
        return pointFromRoot(point);
    return source->convertPointTo(point, this);
}

Rect View::convertRectTo(const Rect& rect, const View* target) const
{
    return { convertPointTo(rect.origin, target), rect.size };
}

Rect View::convertRectFrom(const Rect& rect, const View* source) const
{
    return { convertPointFrom(rect.origin, source), rect.size };
}

std::shared_ptr<View> View::hitTest(Point point)
{
    if (m_hidden || m_alpha <= 0.01 || !isUserInteractionEnabled() || !pointInside(point))
        return nullptr;
    auto subviews = m_subviews;
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        const View& subview = **it;
        Point inSubview { point.x - subview.m_frame.x() + subview.m_bounds.x(),
            point.y - subview.m_frame.y() + subview.m_bounds.y() };
        if (auto hit = (*it)->hitTest(inSubview))
            return hit;
    }
    return shared_from_this();
}

bool View::pointInside(Point point) const
{
    return m_bounds.contains(point);
}

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

void View::setHidden(bool hidden)
{
    m_hidden = hidden;
}

void View::setAlpha(double alpha)
{
    m_alpha = std::clamp(alpha, 0.0, 1.0);
}

bool View::isVisible() const
{
    for (const View* view = this; view; view = view->superview().get()) {
        if (view->m_hidden || view->m_alpha <= 0.01)
            return false;
    }
    return true;
}

void View::setBackgroundColor(const Color& color)
{
    m_backgroundColor = color;
}

Color View::tintColor() const
{
    for (const View* view = this; view; view = view->superview().get()) {
        if (view->m_tintColor)
            return *view->m_tintColor;
    }
    return Color::systemBlue();
}

void View::setTintColor(const std::optional<Color>& color)
{
    m_tintColor = color;
}

void View::setTransformScale(Size scale)
{
    m_transformScale = scale;
}

void View::addConstraint(const std::shared_ptr<Constraint>& constraint)
{
    if (!constraint
        || std::find(m_constraints.begin(), m_constraints.end(), constraint) != m_constraints.end())
        return;
    m_constraints.push_back(constraint);
    setNeedsLayout();
}

void View::addConstraints(const std::vector<std::shared_ptr<Constraint>>& constraints)
{
    for (auto& constraint : constraints)
        addConstraint(constraint);
}

void View::removeConstraint(const Constraint& constraint)
{
    auto removed = std::erase_if(m_constraints, [&](auto& c) { return c.get() == &constraint; });
    if (removed)
        setNeedsLayout();
}

void View::removeConstraints(const std::vector<std::shared_ptr<Constraint>>& constraints)
{
    for (auto& constraint : constraints) {
        if (constraint)
            removeConstraint(*constraint);
    }
}

float View::contentHuggingPriority(LayoutAxis axis) const
{
    return m_huggingPriority[axisIndex(axis)];
}

void View::setContentHuggingPriority(float priority, LayoutAxis axis)
{
    m_huggingPriority[axisIndex(axis)] = priority;
    setNeedsLayout();
}

float View::contentCompressionResistancePriority(LayoutAxis axis) const
{
    return m_compressionPriority[axisIndex(axis)];
}

void View::setContentCompressionResistancePriority(float priority, LayoutAxis axis)
{
    m_compressionPriority[axisIndex(axis)] = priority;
    setNeedsLayout();
}

Size View::intrinsicContentSize() const
{
    return { noIntrinsicMetric, noIntrinsicMetric };
}

void View::invalidateIntrinsicContentSize()
{
    setNeedsLayout();
    if (auto parent = superview())
        parent->setNeedsLayout();
}

Size View::sizeThatFits(Size) const
{
    return m_bounds.size;
}

void View::sizeToFit()
{
    setFrame({ m_frame.origin, sizeThatFits(m_bounds.size) });
}

void View::setNeedsLayout()
{
    m_needsLayout = true;
}

void View::layoutIfNeeded()
{
    auto self = shared_from_this();
    if (auto& layout = layoutHooks().layout)
        layout(*this);
    layoutMarkedViews();
}

void View::layoutMarkedViews()
{
    if (m_needsLayout) {
        m_needsLayout = false;
        layoutSubviews();
    }
    auto subviews = m_subviews;
    for (auto& subview : subviews)
        subview->layoutMarkedViews();
}

void View::setNeedsDisplay()
{
    m_needsDisplay = true;
}

void View::displayIfNeeded()
{
    if (m_hidden)
        return;
    if (m_needsDisplay) {
        m_needsDisplay = false;
        auto context = std::make_shared<GraphicsContext>(m_bounds.size);
        draw(*context);
        m_drawing = std::move(context);
    }
    auto subviews = m_subviews;
    for (auto& subview : subviews)
        subview->displayIfNeeded();
}

void View::draw(GraphicsContext&)
{
}

void View::addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer)
{
    if (!recognizer || recognizer->m_view == this)
        return;
    if (recognizer->m_view)
        recognizer->m_view->removeGestureRecognizer(*recognizer);
    m_gestures.push_back(recognizer);
    recognizer->m_view = this;
}

void View::removeGestureRecognizer(const GestureRecognizer& recognizer)
{
    auto it
        = std::find_if(m_gestures.begin(), m_gestures.end(), [&](auto& g) { return g.get() == &recognizer; });
    if (it == m_gestures.end())
        return;
    auto keepAlive = *it;
    m_gestures.erase(it);
    keepAlive->m_view = nullptr;
}

bool View::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder())
        return false;
    auto self = shared_from_this();
    View& root = rootView();
    auto keepRoot = root.shared_from_this();
    if (auto current = root.m_firstResponder.lock()) {
        root.m_handingOverFirstResponder = true;
        bool resigned = current->resignFirstResponder();
        root.m_handingOverFirstResponder = false;
        if (!resigned)
            return false;
    }
    root.m_firstResponder = self;
    didBecomeFirstResponder();
    if (!isFirstResponder())
        return false;
    Keyboard& keyboard = Keyboard::shared();
    if (showsKeyboard())
        keyboard.show(*this);
    else if (keyboard.isVisible())
        keyboard.hide();
    return true;
}

bool View::resignFirstResponder()
{
    if (!isFirstResponder())
        return true;
    if (!canResignFirstResponder())
        return false;
    finishResigning();
    return true;
}

void View::finishResigning()
{
    auto self = shared_from_this();
    View& root = rootView();
    if (root.m_firstResponder.lock().get() != this)
        return;
    root.m_firstResponder.reset();
    didResignFirstResponder();
    Keyboard& keyboard = Keyboard::shared();
    if (!root.m_handingOverFirstResponder && keyboard.responder().get() == this)
        keyboard.hide();
}

bool View::isFirstResponder() const
{
    return rootView().m_firstResponder.lock().get() == this;
}

std::shared_ptr<View> View::currentFirstResponder() const
{
    return rootView().m_firstResponder.lock();
}

bool View::endEditing(bool force)
{
    auto responder = currentFirstResponder();
    if (!responder || !responder->isDescendantOf(*this))
        return true;
    if (force) {
        responder->finishResigning();
        return true;
    }
    return responder->resignFirstResponder();
}

std::string View::describe() const
{
    return className() + " " + toString(m_frame);
}

std::string View::textDump(bool includeHidden) const
{
    std::string out;
    appendDump(out, 0, includeHidden);
    return out;
}

void View::appendDump(std::string& out, int depth, bool includeHidden) const
{
    if (m_hidden && !includeHidden)
        return;
    out.append(std::size_t(depth) * 2, ' ');
    out += describe();
    if (m_hidden)
        out += " [hidden]";
    if (m_alpha < 1)
        out += " [alpha " + formatNumber(m_alpha) + "]";
    out += '\n';
    for (auto& subview : m_subviews)
        subview->appendDump(out, depth + 1, includeHidden);
}

}
