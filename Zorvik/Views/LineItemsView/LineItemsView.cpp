#include "Zorvik/Views/LineItemsView/LineItemsView.h"

#include "Zorvik/Views/CurrencyControls/CurrencyFormatter.h"
#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"
#include "Zorvik/Views/LineItemsView/LineItemsTableViewFooter.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"
#include "ZorvikAPI/models/LineItem.h"
#include "ZorvikAPI/models/LineItems.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

namespace zorvik {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::ui::IndexPath;
using platform::ui::TableView;

namespace {

ArrayRef oneNewItem()
{
    return Array::make({ LineItemsView::newLineItem() });
}

}

LineItemsView::LineItemsView()
    : FormViewObjc(oneNewItem())
{
    declareOutlet("lineItemsTable", m_lineItemsTable);
}

std::shared_ptr<LineItemsView> LineItemsView::make()
{
    return create<LineItemsView>();
}

platform::foundation::DictionaryRef LineItemsView::newLineItem()
{
    auto item = api::LineItem::lineItem();
    item.setTax(20);
    item.setQuantity(1);
    return item.record();
}

void LineItemsView::construct()
{
    FormViewObjc::construct();
    m_lineItems = editMode()->uneditedDocument().array()->shallowCopy();
    navigationBar()->setText(std::string("Add items"));
    contentHolder()->setBackgroundColor(platform::ui::Color::clear());

    auto footer = create<LineItemsTableViewFooter>();
    footer->setFrame({ 0, 0, footer->frame().width(), 300 });
    std::weak_ptr<View> weakSelf = weak_from_this();
    footer->onAddNewLineItem = [weakSelf] {
        if (auto self = std::static_pointer_cast<LineItemsView>(weakSelf.lock()))
            self->addLineItem();
    };
    m_lineItemsTable->setTableFooterView(footer);
    m_lineItemsTable->setRowHeight(TableView::automaticDimension);
    m_lineItemsTable->setEstimatedRowHeight(estimatedRowHeight);
    m_lineItemsTable->setDataSource(
        std::shared_ptr<platform::ui::TableViewDataSource>(shared_from_this(), this));
    m_lineItemsTable->setDelegate(std::shared_ptr<platform::ui::TableViewDelegate>(shared_from_this(), this));
    contentScrollView()->setScrollEnabled(false);
}

void LineItemsView::setLineItems(const ArrayRef& lineItems)
{
    ArrayRef copy = lineItems ? lineItems->shallowCopy() : Array::make();
    m_lineItems = copy;
    setCurrentDocument(copy);
    updateHeader();
}

Document LineItemsView::currentDocument() const
{
    return m_lineItems;
}

void LineItemsView::setCurrentDocument(const Document& document)
{
    ArrayRef list = document.array();
    if (!list || list->empty())
        list = oneNewItem();
    m_lineItems = list;
    m_lineItemsTable->reloadData();
    FormViewObjc::setCurrentDocument(list);
}

bool LineItemsView::readOnly() const
{
    return footer()->isHidden();
}

void LineItemsView::setReadOnly(bool readOnly)
{
    footer()->setHidden(readOnly);
    navigationBar()->setText(std::string(readOnly ? "Line items" : "Add items"));
}

void LineItemsView::updateHeader()
{
    std::int64_t total = api::LineItems(m_lineItems).totalGrossAmount();
    std::size_t count = m_lineItems->size();
    navigationBar()->setText(std::to_string(count) + (count == 1 ? " item : " : " items : ")
        + CurrencyFormatter::penceToPounds(total));
}

std::optional<Question> LineItemsView::cancelConfirmation() const
{
    return Question("Discard last changes?", "", Answer("Yes, cancel"), Answer("No"));
}

void LineItemsView::cancelConfirmed()
{
    FormViewObjc::cancelConfirmed();
    if (!m_lineItems->empty())
        updateHeader();
    else
        navigationBar()->setText(std::string("Add items"));
}

void LineItemsView::deleteInvoiceConfirmed()
{
    auto cell = m_cellToDelete.lock();
    if (!cell || cell->index() >= m_lineItems->size())
        return;
    ArrayRef list = m_lineItems->shallowCopy();
    list->removeAt(cell->index());
    m_lineItems = list->empty() ? oneNewItem() : list;
    updateHeader();
    startEditing();
    m_lineItemsTable->reloadData();
}

void LineItemsView::addLineItem()
{
    ArrayRef list = m_lineItems->shallowCopy();
    list->append(newLineItem());
    m_lineItems = list;
    updateHeader();
    startEditing();
    m_lineItemsTable->reloadData();
}

std::shared_ptr<LineItemsTableViewFooter> LineItemsView::footer() const
{
    return std::static_pointer_cast<LineItemsTableViewFooter>(m_lineItemsTable->tableFooterView());
}

int LineItemsView::numberOfRows(TableView& table, int)
{
    table.registerNib("LineItemTableViewCell", LineItemTableViewCell::reuseIdentifier);
    return std::max<int>(1, int(m_lineItems->size()));
}

std::shared_ptr<platform::ui::TableViewCell> LineItemsView::cellForRow(
    TableView& table, const IndexPath& indexPath)
{
    auto cell = std::static_pointer_cast<LineItemTableViewCell>(
        table.dequeueReusableCell(LineItemTableViewCell::reuseIdentifier, indexPath));
    auto row = std::size_t(indexPath.row);
    cell->setIndex(row);
    cell->setDelegate(std::shared_ptr<LineItemTableViewCellDelegate>(shared_from_this(), this));
    cell->setUserInteractionEnabled(!readOnly());
    cell->setLineItem(row < m_lineItems->size() ? m_lineItems->at(row).dictionary() : newLineItem());
    return cell;
}

void LineItemsView::lineItemTableViewCellBeganEditing(LineItemTableViewCell& cell)
{
    startEditing();
    updateHeader();
    m_lineItemsTable->scrollToRow(
        IndexPath { 0, int(cell.index()) }, platform::ui::TableViewScrollPosition::Top, true);
}

void LineItemsView::lineItemTableViewCellEditingChanged(LineItemTableViewCell&)
{
    startEditing();
    updateHeader();
    m_lineItemsTable->beginUpdates();
    m_lineItemsTable->endUpdates();
}

void LineItemsView::deletePressedOnLineItemCell(LineItemTableViewCell& cell)
{
    m_cellToDelete = std::static_pointer_cast<LineItemTableViewCell>(cell.shared_from_this());
    if (auto owner = std::dynamic_pointer_cast<LineItemsViewDelegate>(controller()))
        owner->showDeleteLineItemConfirmation();
}

void LineItemsView::startEditing()
{
    if (!isEditing())
        setIsEditing(true);
}

}
