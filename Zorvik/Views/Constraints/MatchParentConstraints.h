#pragma once

#include "platform/ui/VisualFormat.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {
class Constraint;
class View;
}

namespace zorvik {

/// Builds the app's layout constraints from visual formats. Every edge distance is 0; every size is a given
/// number or the view's frame size at the moment of the call.
///
/// The returning builders hand back the constraints and change nothing. The installing builders clear the
/// autoresizing translation of each view they place and install the constraints: edge constraints on the
/// parent, size constraints on the view itself. A view placed against its parent's edge must already be a
/// subview of it.
///
/// Misuse (a missing view, a name the views dictionary lacks, a view without superview where an edge is
/// wanted, a parent that does not hold the views) throws platform::ui::LayoutError naming the builder.
class MatchParentConstraints {
public:
    using ViewRef = std::shared_ptr<platform::ui::View>;
    using ConstraintList = std::vector<std::shared_ptr<platform::ui::Constraint>>;

    /// "subview": the name of the one view in a builder's own views dictionary.
    static std::string defaultSubviewName();
    /// "top": the name of the upper view of a stack.
    static std::string topSubviewName();
    /// "bottom": the name of the lower view of a stack.
    static std::string bottomSubviewName();

    /// The horizontal fill format for the named view: "H:|-0-[name]-0-|".
    static std::string horizontal(const std::string& name);
    /// The vertical fill format for the named view: "V:|-0-[name]-0-|".
    static std::string vertical(const std::string& name);

    /// The horizontal fill of the view `subviewName` of the caller's dictionary.
    static ConstraintList horizontalConstraint(
        const platform::ui::VisualFormat::Views& views, const std::string& subviewName);
    /// The vertical fill of the view `subviewName` of the caller's dictionary.
    static ConstraintList verticalConstraint(
        const platform::ui::VisualFormat::Views& views, const std::string& subviewName);
    /// The view's height fixed at its present frame height.
    static ConstraintList heightConstraint(const ViewRef& view);
    /// The view's width fixed at its present frame width.
    static ConstraintList widthConstraint(const ViewRef& view);
    /// The same as heightConstraint().
    static ConstraintList fixedHeightConstraint(const ViewRef& view);
    /// The same as widthConstraint().
    static ConstraintList fixedWidthConstraint(const ViewRef& view);
    /// The view's height fixed at `viewHeight` points.
    static ConstraintList fixedHeightConstraint(const ViewRef& view, double viewHeight);
    /// The view's top on its superview's top, and its height fixed at its present frame height.
    static ConstraintList topHeightConstraint(const ViewRef& view);
    /// The view's top on its superview's top. `parent` is not consulted.
    static ConstraintList topConstraintParent(const ViewRef& view, const ViewRef& parent);
    /// The top of `bottom` on the bottom of `view`.
    static ConstraintList topConstraintView(const ViewRef& view, const ViewRef& bottom);

    /// Pins the child to the four edges of the parent: the horizontal pair, then the vertical pair, each
    /// installed on the parent.
    static void constrainChildToMatchParent(const ViewRef& child, const ViewRef& parent);
    /// Pins the child to the leading and trailing edges of the parent.
    static void constrainChildToMatchParentWidth(const ViewRef& child, const ViewRef& parent);
    /// Pins the child's top to the parent's top.
    static void anchorChildToTopOfParent(const ViewRef& child, const ViewRef& parent);
    /// Hangs `bottom` directly under `child`, installing the constraint on `parent`.
    static void anchorChildToTopOfView(const ViewRef& child, const ViewRef& bottom, const ViewRef& parent);
    /// Fixes the view's height at its present frame height, on the view itself.
    static void fixViewHeight(const ViewRef& view);
};

}
