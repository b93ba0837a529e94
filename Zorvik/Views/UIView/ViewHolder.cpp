#include "Zorvik/Views/UIView/ViewHolder.h"

#include "Zorvik/Views/Constraints/MatchParentConstraints.h"

namespace zorvik {

ViewHolder::ViewHolder(platform::ui::Rect frame)
    : View(frame)
{
}

void ViewHolder::addSubview(const std::shared_ptr<platform::ui::View>& view)
{
    View::addSubview(view);
    MatchParentConstraints::constrainChildToMatchParent(view, shared_from_this());
}

}
