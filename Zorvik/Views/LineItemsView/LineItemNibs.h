#pragma once

namespace zorvik {

/// Registers the line-items editor's views and nibs: "LineItemsAmountView", "LineItemDescriptionTextField",
/// "LineItemTableViewCell", "LineItemsTableViewFooter" and "LineItemsView". Calling it again registers
/// nothing twice.
void registerLineItemNibs();

}
