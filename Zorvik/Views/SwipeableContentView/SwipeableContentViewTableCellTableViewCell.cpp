#include "Zorvik/Views/SwipeableContentView/SwipeableContentViewTableCellTableViewCell.h"

#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/DirectionalScrollView/DirectionalScrollView.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableContentView.h"

namespace zorvik {

void SwipeableContentViewTableCellTableViewCell::setSwipeableViewWithContent(
    const std::shared_ptr<SwipeableContentView>& container)
{
    auto& content = contentView();
    content->addSubview(container);
    MatchParentConstraints::constrainChildToMatchParent(container, content);
    auto scroll = container->swipeableView();
    scroll->setUserInteractionEnabled(false);
    content->addGestureRecognizer(scroll->panGestureRecognizer());
}

}
