#include "Zorvik/Views/Constraints/MatchParentConstraints.h"

#include "Zorvik/Views/Constraints/Constraints.h"
#include "platform/foundation/Text.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/View.h"

namespace zorvik {

using platform::foundation::stringWithFormat;
using platform::ui::LayoutError;
using platform::ui::View;
using platform::ui::VisualFormat;
using Orientation = Constraints::Orientation;

namespace {

[[noreturn]] void fail(const char* builder, const std::string& message)
{
    throw LayoutError(std::string("MatchParentConstraints::") + builder + ": " + message);
}

void requireView(const char* builder, const MatchParentConstraints::ViewRef& view, const char* role)
{
    if (!view)
        fail(builder, std::string("no ") + role + " view given");
}

void requireSuperview(const char* builder, const MatchParentConstraints::ViewRef& view, const char* role)
{
    requireView(builder, view, role);
    if (!view->superview())
        fail(builder,
            std::string("the ") + role + " view (" + platform::ui::Constraint::describeView(view.get())
                + ") has no superview; add it with addSubview first");
}

void requireHeldBy(const char* builder, const MatchParentConstraints::ViewRef& view, const char* role,
    const MatchParentConstraints::ViewRef& parent)
{
    requireView(builder, parent, "parent");
    if (view == parent || !view->isDescendantOf(*parent))
        fail(builder,
            std::string("the ") + role + " view is not inside the parent; add it with addSubview first");
}

std::string fill(Orientation orientation, const std::string& name)
{
    return stringWithFormat("%s:|-0-[%s]-0-|", Constraints::text(orientation).c_str(), name.c_str());
}

std::string size(Orientation orientation, const std::string& name, double points)
{
    return stringWithFormat("%s:[%s(==%f)]", Constraints::text(orientation).c_str(), name.c_str(), points);
}

std::string leadingWithSize(Orientation orientation, const std::string& name, double points)
{
    return stringWithFormat(
        "%s:|-0-[%s(==%f)]", Constraints::text(orientation).c_str(), name.c_str(), points);
}

std::string leading(Orientation orientation, const std::string& name)
{
    return stringWithFormat("%s:|-0-[%s]", Constraints::text(orientation).c_str(), name.c_str());
}

std::string stack(Orientation orientation, const std::string& first, const std::string& second)
{
    return stringWithFormat(
        "%s:[%s]-0-[%s]", Constraints::text(orientation).c_str(), first.c_str(), second.c_str());
}

VisualFormat::Views single(const MatchParentConstraints::ViewRef& view)
{
    return { { MatchParentConstraints::defaultSubviewName(), view } };
}

VisualFormat::Views pair(
    const MatchParentConstraints::ViewRef& top, const MatchParentConstraints::ViewRef& bottom)
{
    return { { MatchParentConstraints::topSubviewName(), top },
        { MatchParentConstraints::bottomSubviewName(), bottom } };
}

MatchParentConstraints::ConstraintList fillOf(const char* builder, Orientation orientation,
    const VisualFormat::Views& views, const std::string& subviewName)
{
    auto found = views.find(subviewName);
    if (found == views.end() || !found->second)
        fail(builder, "the views dictionary has no view named '" + subviewName + "'");
    requireSuperview(builder, found->second, "named");
    return VisualFormat::constraints(fill(orientation, subviewName), views);
}

}

std::string MatchParentConstraints::defaultSubviewName()
{
    return "subview";
}

std::string MatchParentConstraints::topSubviewName()
{
    return "top";
}

std::string MatchParentConstraints::bottomSubviewName()
{
    return "bottom";
}

std::string MatchParentConstraints::horizontal(const std::string& name)
{
    return fill(Orientation::Horizontal, name);
}

std::string MatchParentConstraints::vertical(const std::string& name)
{
    return fill(Orientation::Vertical, name);
}

MatchParentConstraints::ConstraintList MatchParentConstraints::horizontalConstraint(
    const VisualFormat::Views& views, const std::string& subviewName)
{
    return fillOf("horizontalConstraint", Orientation::Horizontal, views, subviewName);
}

MatchParentConstraints::ConstraintList MatchParentConstraints::verticalConstraint(
    const VisualFormat::Views& views, const std::string& subviewName)
{
    return fillOf("verticalConstraint", Orientation::Vertical, views, subviewName);
}

MatchParentConstraints::ConstraintList MatchParentConstraints::heightConstraint(const ViewRef& view)
{
    requireView("heightConstraint", view, "sized");
    return fixedHeightConstraint(view, view->frame().height());
}

MatchParentConstraints::ConstraintList MatchParentConstraints::widthConstraint(const ViewRef& view)
{
    requireView("widthConstraint", view, "sized");
    return VisualFormat::constraints(
        size(Orientation::Horizontal, defaultSubviewName(), view->frame().width()), single(view));
}

MatchParentConstraints::ConstraintList MatchParentConstraints::fixedHeightConstraint(const ViewRef& view)
{
    return heightConstraint(view);
}

MatchParentConstraints::ConstraintList MatchParentConstraints::fixedWidthConstraint(const ViewRef& view)
{
    return widthConstraint(view);
}

MatchParentConstraints::ConstraintList MatchParentConstraints::fixedHeightConstraint(
    const ViewRef& view, double viewHeight)
{
    requireView("fixedHeightConstraint", view, "sized");
    return VisualFormat::constraints(
        size(Orientation::Vertical, defaultSubviewName(), viewHeight), single(view));
}

MatchParentConstraints::ConstraintList MatchParentConstraints::topHeightConstraint(const ViewRef& view)
{
    requireSuperview("topHeightConstraint", view, "placed");
    return VisualFormat::constraints(
        leadingWithSize(Orientation::Vertical, defaultSubviewName(), view->frame().height()), single(view));
}

MatchParentConstraints::ConstraintList MatchParentConstraints::topConstraintParent(
    const ViewRef& view, const ViewRef&)
{
    requireSuperview("topConstraintParent", view, "placed");
    return VisualFormat::constraints(leading(Orientation::Vertical, defaultSubviewName()), single(view));
}

MatchParentConstraints::ConstraintList MatchParentConstraints::topConstraintView(
    const ViewRef& view, const ViewRef& bottom)
{
    requireView("topConstraintView", view, "top");
    requireView("topConstraintView", bottom, "bottom");
    return VisualFormat::constraints(
        stack(Orientation::Vertical, topSubviewName(), bottomSubviewName()), pair(view, bottom));
}

void MatchParentConstraints::constrainChildToMatchParent(const ViewRef& child, const ViewRef& parent)
{
    const char* builder = "constrainChildToMatchParent";
    requireSuperview(builder, child, "child");
    requireHeldBy(builder, child, "child", parent);
    child->setTranslatesAutoresizingMaskIntoConstraints(false);
    auto views = single(child);
    parent->addConstraints(VisualFormat::constraints(horizontal(defaultSubviewName()), views));
    parent->addConstraints(VisualFormat::constraints(vertical(defaultSubviewName()), views));
}

void MatchParentConstraints::constrainChildToMatchParentWidth(const ViewRef& child, const ViewRef& parent)
{
    const char* builder = "constrainChildToMatchParentWidth";
    requireSuperview(builder, child, "child");
    requireHeldBy(builder, child, "child", parent);
    child->setTranslatesAutoresizingMaskIntoConstraints(false);
    parent->addConstraints(VisualFormat::constraints(horizontal(defaultSubviewName()), single(child)));
}

void MatchParentConstraints::anchorChildToTopOfParent(const ViewRef& child, const ViewRef& parent)
{
    const char* builder = "anchorChildToTopOfParent";
    requireSuperview(builder, child, "child");
    requireHeldBy(builder, child, "child", parent);
    child->setTranslatesAutoresizingMaskIntoConstraints(false);
    parent->addConstraints(
        VisualFormat::constraints(leading(Orientation::Vertical, defaultSubviewName()), single(child)));
}

void MatchParentConstraints::anchorChildToTopOfView(
    const ViewRef& child, const ViewRef& bottom, const ViewRef& parent)
{
    const char* builder = "anchorChildToTopOfView";
    requireView(builder, child, "child");
    requireView(builder, bottom, "bottom");
    requireHeldBy(builder, child, "child", parent);
    requireHeldBy(builder, bottom, "bottom", parent);
    child->setTranslatesAutoresizingMaskIntoConstraints(false);
    bottom->setTranslatesAutoresizingMaskIntoConstraints(false);
    parent->addConstraints(VisualFormat::constraints(
        stack(Orientation::Vertical, topSubviewName(), bottomSubviewName()), pair(child, bottom)));
}

void MatchParentConstraints::fixViewHeight(const ViewRef& view)
{
    requireView("fixViewHeight", view, "sized");
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    view->addConstraints(VisualFormat::constraints(
        size(Orientation::Vertical, defaultSubviewName(), view->frame().height()), single(view)));
}

}
