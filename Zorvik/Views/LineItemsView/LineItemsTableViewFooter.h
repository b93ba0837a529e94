#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <functional>
#include <memory>
#include <string>

namespace platform::ui {
class Button;
}

namespace zorvik {

/// The foot of the line-items table: the button that adds an item. Laid out by the nib
/// "LineItemsTableViewFooter".
class LineItemsTableViewFooter : public XibViewObjcmb {
public:
    LineItemsTableViewFooter();

    std::string className() const override { return "LineItemsTableViewFooter"; }

    /// The add button's action: runs onAddNewLineItem.
    void addNewInvoiceClicked();

    /// Runs when the add button is pressed.
    std::function<void()> onAddNewLineItem;

    const std::shared_ptr<platform::ui::Button>& addNewLineItemButton() const
    {
        return m_addNewLineItemButton;
    }

private:
    std::shared_ptr<platform::ui::Button> m_addNewLineItemButton;
};

}
