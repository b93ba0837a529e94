#pragma once

#include "platform/ui/TableViewCell.h"

#include <memory>

namespace zorvik {

class SwipeableContentView;

/// A table cell that carries a swipeable row: a horizontal pan anywhere on the row drives the swipe, while
/// a tap still reaches the table as a row selection.
class SwipeableContentViewTableCellTableViewCell : public platform::ui::TableViewCell {
public:
    using TableViewCell::TableViewCell;

    std::string className() const override { return "SwipeableContentViewTableCellTableViewCell"; }

    /// Puts `container` into the content view, pinned to its four edges, and moves the container's pan
    /// recogniser to the content view (the scroll view itself takes no touches).
    void setSwipeableViewWithContent(const std::shared_ptr<SwipeableContentView>& container);
};

}
