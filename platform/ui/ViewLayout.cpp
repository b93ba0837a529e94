#include "platform/ui/View.h"

#include "platform/ui/GraphicsContext.h"

#include <algorithm>
#include <cstdint>

namespace platform::ui {

namespace {

// How many times a view has been marked for layout: a pass that marks none leaves nothing to redo.
std::uint64_t layoutRequests = 0;

std::size_t axisIndex(LayoutAxis axis)
{
    return axis == LayoutAxis::Horizontal ? 0 : 1;
}

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
    ++layoutRequests;
}

// A layoutSubviews may resize or add views that constraints place (a table adds its rows, a cell sizes its
// content view) after the constraints were solved: then the tree is solved and laid out again, so that one
// call leaves every view where its constraints put it. A few passes settle rows in tables in cells; a
// layoutSubviews that changes frames on every pass stops there.
void View::layoutIfNeeded()
{
    auto self = shared_from_this();
    constexpr int kMaximumPasses = 4;
    for (int pass = 0; pass < kMaximumPasses; ++pass) {
        if (auto& layout = layoutHooks().layout)
            layout(*this);
        auto before = layoutRequests;
        layoutMarkedViews();
        if (layoutRequests == before)
            return;
    }
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

}
