#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class BarButtonItem;

/// A bar of BarButtonItems, left to right; a flexible space pushes the items after it to the right end.
class Toolbar : public View {
public:
    /// The height of every toolbar.
    static constexpr double height = 44;

    /// A toolbar with the frame and no items.
    explicit Toolbar(Rect frame = Rect::zero());

    /// "Toolbar".
    std::string className() const override { return "Toolbar"; }

    /// The items, left to right.
    const std::vector<std::shared_ptr<BarButtonItem>>& items() const { return m_items; }
    /// Replaces the items; `animated` only chooses how it looks.
    void setItems(const std::vector<std::shared_ptr<BarButtonItem>>& items, bool animated = false);
    /// The first item with that title, or null.
    std::shared_ptr<BarButtonItem> itemWithTitle(const std::string& title) const;

    /// A finger taps an item of this bar: it runs the item's action when the item is enabled and the bar can
    /// be touched (visible, and the hit test at its centre lands on it or inside it). Returns whether it ran.
    bool tapItem(BarButtonItem& item);

    /// The width it has (or the main screen's width when it has none) by 44 points.
    Size sizeThatFits(Size size) const override;

    /// Frame and the items.
    std::string describe() const override;

private:
    std::vector<std::shared_ptr<BarButtonItem>> m_items;
};

}
