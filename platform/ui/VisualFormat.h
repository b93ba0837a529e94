#pragma once

#include "platform/ui/Constraint.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ui {

class View;

/// Constraints written as ASCII pictures, the platform's visual format language:
///
///     H:|-8-[button(==68)]         V:[button(==40)]-5-[divider]      H:|[a][b(==a)]|
///     V:|-(>=0)-[label]-(20@750)-|  H:[left]-[right]                 V:[box(>=40,<=height@500)]
///
/// - An optional orientation "H:" (the default: leading to trailing) or "V:" (top to bottom).
/// - "|" is the superview of the view next to it; "[name]" a view from the views dictionary, optionally
///   with size predicates in parentheses (its width for H, height for V).
/// - Between elements: nothing (touching), "-" (standard spacing: 8 points between views, 20 to the
///   superview's edge), or "-predicate-" / "-(predicates)-" for the distance.
/// - A predicate is an optional relation (==, >=, <=; == when absent), then a number or a metric name, or
///   in a view's parentheses also another view's name (the same size as that view), then an optional
///   "@priority" (a number or metric).
///
/// A connection from an earlier element A to a later element B gives "B.leading = A.trailing + distance"
/// (top and bottom for V); at the superview's trailing edge the superview is the first item. Constraints come
/// in the order of the picture, each view's size predicates before its trailing connection. Nothing is
/// installed and no flag is changed: the caller adds the constraints to a view.
class VisualFormat {
public:
    using Views = std::map<std::string, std::shared_ptr<View>>;
    using Metrics = std::map<std::string, double>;

    /// Spacing of a bare "-" between two views.
    static constexpr double standardSpacing = 8;
    /// Spacing of a bare "-" between a view and its superview's edge.
    static constexpr double standardSuperviewSpacing = 20;

    /// The constraints of `format`. Throws LayoutError naming the format and the place for text that does
    /// not parse, a name that is neither in `views` nor in `metrics`, or "|" next to a view without
    /// superview.
    static std::vector<std::shared_ptr<Constraint>> constraints(
        std::string_view format, const Views& views, const Metrics& metrics = {});
};

}
