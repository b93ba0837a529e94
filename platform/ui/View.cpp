#include "platform/ui/View.h"

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Keyboard.h"

#include <algorithm>

namespace platform::ui {

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
    auto shown = describe();
    out += shown;
    // A view can be found by its accessibility label, so the label shows where nothing else reads as it.
    if (!m_accessibilityLabel.empty() && shown.find("\"" + m_accessibilityLabel + "\"") == std::string::npos)
        out += " label \"" + m_accessibilityLabel + "\"";
    if (m_hidden)
        out += " [hidden]";
    if (m_alpha < 1)
        out += " [alpha " + formatNumber(m_alpha) + "]";
    out += '\n';
    for (auto& subview : m_subviews)
        subview->appendDump(out, depth + 1, includeHidden);
}

}
