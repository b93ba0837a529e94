#include "Zorvik/Views/LineItemsView/LineItemsTableViewFooter.h"

#include "platform/ui/Button.h"

namespace zorvik {

LineItemsTableViewFooter::LineItemsTableViewFooter()
{
    declareOutlet("addNewLineItemButton", m_addNewLineItemButton);
    declareAction("addNewInvoiceClicked", [this](platform::ui::View&) { addNewInvoiceClicked(); });
}

void LineItemsTableViewFooter::addNewInvoiceClicked()
{
    auto self = shared_from_this();
    if (onAddNewLineItem)
        onAddNewLineItem();
}

}
