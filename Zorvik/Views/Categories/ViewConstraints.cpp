#include "Zorvik/Views/Categories/ViewConstraints.h"

#include "platform/ui/Constraint.h"
#include "platform/ui/View.h"

namespace zorvik {

std::shared_ptr<platform::ui::Constraint> ViewConstraints::heightConstraint(const platform::ui::View& view)
{
    for (const auto& constraint : view.constraints()) {
        if (constraint->firstAttribute() == platform::ui::LayoutAttribute::Height)
            return constraint;
    }
    return nullptr;
}

}
