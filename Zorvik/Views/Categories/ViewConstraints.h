#pragma once

#include <memory>

namespace platform::ui {
class Constraint;
class View;
}

namespace zorvik {

/// Finds a view's own height constraint.
class ViewConstraints {
public:
    /// The first constraint that the view itself holds whose first attribute is the height; null when none.
    static std::shared_ptr<platform::ui::Constraint> heightConstraint(const platform::ui::View& view);
};

}
