#include "platform/ui/Constraint.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/LayoutEngine.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>

namespace platform::ui {

namespace {

bool holds(const View& view, const Constraint& constraint)
{
    const auto& list = view.constraints();
    return std::any_of(list.begin(), list.end(), [&](const auto& c) { return c.get() == &constraint; });
}

}

std::shared_ptr<Constraint> Constraint::create(const std::shared_ptr<View>& firstItem,
    LayoutAttribute firstAttribute, LayoutRelation relation, const std::shared_ptr<View>& secondItem,
    LayoutAttribute secondAttribute, double multiplier, double constant)
{
    if (!firstItem || firstAttribute == LayoutAttribute::NotAnAttribute)
        throw LayoutError("A constraint needs a first item and attribute");
    if (!secondItem && secondAttribute != LayoutAttribute::NotAnAttribute)
        throw LayoutError("A constraint on " + describeView(firstItem.get()) + " names a second attribute ("
            + attributeName(secondAttribute) + ") without a second item");
    if (!secondItem && !isSize(firstAttribute))
        throw LayoutError(std::string("A constraint of ") + describeView(firstItem.get()) + "."
            + attributeName(firstAttribute) + " against a constant needs a width or height");
    if (secondItem) {
        if (secondAttribute == LayoutAttribute::NotAnAttribute)
            throw LayoutError("A constraint with a second item needs its attribute");
        bool sizes = isSize(firstAttribute) && isSize(secondAttribute);
        bool positions = !isSize(firstAttribute) && !isSize(secondAttribute)
            && isHorizontal(firstAttribute) == isHorizontal(secondAttribute);
        if (!sizes && !positions)
            throw LayoutError(std::string("Cannot relate ") + describeView(firstItem.get()) + "."
                + attributeName(firstAttribute) + " to " + describeView(secondItem.get()) + "."
                + attributeName(secondAttribute)
                + ": positions pair with positions on the same axis, sizes with sizes");
    }
    LayoutEngine::install();
    auto constraint = std::shared_ptr<Constraint>(new Constraint);
    constraint->m_firstItem = firstItem;
    constraint->m_firstAttribute = firstAttribute;
    constraint->m_relation = relation;
    constraint->m_secondItem = secondItem;
    constraint->m_secondAttribute = secondItem ? secondAttribute : LayoutAttribute::NotAnAttribute;
    constraint->m_hasSecondItem = secondItem != nullptr;
    constraint->m_multiplier = multiplier;
    constraint->m_constant = constant;
    return constraint;
}

std::shared_ptr<Constraint> Constraint::create(
    const std::shared_ptr<View>& item, LayoutAttribute attribute, LayoutRelation relation, double constant)
{
    return create(item, attribute, relation, nullptr, LayoutAttribute::NotAnAttribute, 1, constant);
}

void Constraint::setConstant(double constant)
{
    if (constant == m_constant)
        return;
    double old = m_constant;
    m_constant = constant;
    Animation::constantDidChange(*this, old);
    if (auto holder = owner())
        holder->setNeedsLayout();
}

void Constraint::setPriority(float priority)
{
    m_priority = std::clamp(priority, 1.0f, LayoutPriority::required);
    if (auto holder = owner())
        holder->setNeedsLayout();
}

std::shared_ptr<View> Constraint::owner() const
{
    // The owner is a common ancestor of the items, so it lies on the first item's path to the root.
    for (auto item : { firstItem(), secondItem() }) {
        for (auto view = item; view; view = view->superview()) {
            if (holds(*view, *this))
                return view;
        }
    }
    return nullptr;
}

void Constraint::setActive(bool active)
{
    if (!active) {
        if (auto holder = owner())
            holder->removeConstraint(*this);
        return;
    }
    if (isActive())
        return;
    auto first = firstItem();
    auto second = secondItem();
    if (!first)
        throw LayoutError("Cannot activate " + description() + ": its first item is gone");
    std::shared_ptr<View> ancestor = first;
    if (second) {
        while (ancestor && !second->isDescendantOf(*ancestor))
            ancestor = ancestor->superview();
        if (!ancestor)
            throw LayoutError("Cannot activate " + description() + ": " + describeView(first.get()) + " and "
                + describeView(second.get()) + " have no common ancestor");
    }
    ancestor->addConstraint(shared_from_this());
}

void Constraint::activate(const std::vector<std::shared_ptr<Constraint>>& constraints)
{
    for (const auto& constraint : constraints)
        constraint->setActive(true);
}

void Constraint::deactivate(const std::vector<std::shared_ptr<Constraint>>& constraints)
{
    for (const auto& constraint : constraints)
        constraint->setActive(false);
}

bool Constraint::mentions(const View& view) const
{
    return firstItem().get() == &view || secondItem().get() == &view;
}

std::string Constraint::description() const
{
    std::string text = describeView(firstItem().get()) + "." + attributeName(m_firstAttribute);
    text += m_relation == LayoutRelation::Equal         ? " == "
        : m_relation == LayoutRelation::LessThanOrEqual ? " <= "
                                                        : " >= ";
    if (m_hasSecondItem) {
        text += describeView(secondItem().get()) + "." + attributeName(m_secondAttribute);
        if (m_multiplier != 1)
            text += " * " + formatNumber(m_multiplier);
        if (m_constant != 0)
            text += (m_constant < 0 ? " - " : " + ") + formatNumber(std::abs(m_constant));
    } else {
        text += formatNumber(m_constant);
    }
    if (!isRequired())
        text += " @" + formatNumber(m_priority);
    if (!m_identifier.empty())
        text += " (" + m_identifier + ")";
    return text;
}

std::string Constraint::describeView(const View* view)
{
    if (!view)
        return "(gone)";
    std::string text = view->className();
    if (!view->accessibilityLabel().empty())
        text += " '" + view->accessibilityLabel() + "'";
    if (view->tag() != 0)
        text += " #" + std::to_string(view->tag());
    return text;
}

const char* Constraint::attributeName(LayoutAttribute attribute)
{
    switch (attribute) {
    case LayoutAttribute::NotAnAttribute:
        return "notAnAttribute";
    case LayoutAttribute::Left:
        return "left";
    case LayoutAttribute::Right:
        return "right";
    case LayoutAttribute::Top:
        return "top";
    case LayoutAttribute::Bottom:
        return "bottom";
    case LayoutAttribute::Leading:
        return "leading";
    case LayoutAttribute::Trailing:
        return "trailing";
    case LayoutAttribute::Width:
        return "width";
    case LayoutAttribute::Height:
        return "height";
    case LayoutAttribute::CenterX:
        return "centerX";
    case LayoutAttribute::CenterY:
        return "centerY";
    }
    return "?";
}

bool Constraint::isHorizontal(LayoutAttribute attribute)
{
    switch (attribute) {
    case LayoutAttribute::Left:
    case LayoutAttribute::Right:
    case LayoutAttribute::Leading:
    case LayoutAttribute::Trailing:
    case LayoutAttribute::Width:
    case LayoutAttribute::CenterX:
        return true;
    default:
        return false;
    }
}

bool Constraint::isSize(LayoutAttribute attribute)
{
    return attribute == LayoutAttribute::Width || attribute == LayoutAttribute::Height;
}

}
